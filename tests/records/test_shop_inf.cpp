#include "records/record_commands.h"
#include "records/shop_inf.h"
#include "tests/records/records_fixture.h"

#include <fstream>
#include <sstream>

namespace arrowsel::test {
namespace {

using Kind = widgets::RecordingSeam::Kind;

std::string bytesOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ShopInformation : public RecordsTest {
protected:
    std::filesystem::path shop() const { return dir / "SHOPINFO.DBF"; }
    std::vector<std::string> shopNames() {
        data::TDbfTable t;
        t.open(shop(), data::TDbfTable::OpenMode::ReadOnly);
        std::vector<std::string> names;
        for (t.first(); !t.eof(); t.next()) {
            names.push_back(records::trimRight(t.fieldText("NAME")));
        }
        return names;
    }
};

TEST_F(ShopInformation, emptyTable_typingAndSaveCreatesTheOneRecord_secondSaveAddsNone) {
    records::TShopInf w(main);
    w.FormActivate();
    type(child(w, "DBEdit1"), QStringLiteral("Pe\u00f1a's \"Bow\" Shop, Inc."));
    type(child(w, "DBEdit3"), QStringLiteral("555-0100"));
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(shopNames(), std::vector<std::string>{"Pe\u00f1a's \"Bow\" Shop, Inc."});
    const std::string saved = bytesOf(shop());
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(bytesOf(shop()), saved);
    type(child(w, "DBEdit8"), QStringLiteral("Ashford"));
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(shopNames().size(), 1u);
    EXPECT_TRUE(seam.entries.empty());
}

TEST_F(ShopInformation, existingRecord_isEditedInPlace_exitWithoutTypingChangesNothing) {
    {
        data::TDbfTable t;
        t.open(shop());
        t.insert();
        t.setFieldText("NAME", "Old Name");
        t.setFieldText("PHONE", "555-0199");
        t.post();
    }
    const std::string before = bytesOf(shop());
    {
        records::TShopInf w(main);
        w.FormActivate();
        EXPECT_EQ(textOf(w, "DBEdit1"), QStringLiteral("Old Name"));
        click(w, "ShopInfExitBtn");
    }
    EXPECT_EQ(bytesOf(shop()), before);

    records::TShopInf w(main);
    w.FormActivate();
    auto* name = child<QLineEdit>(w, "DBEdit1");
    name->selectAll();
    type(name, QStringLiteral("New Name"));
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(shopNames(), std::vector<std::string>{"New Name"});
    data::TDbfTable t;
    t.open(shop(), data::TDbfTable::OpenMode::ReadOnly);
    EXPECT_EQ(records::trimRight(t.fieldText("PHONE")), "555-0199");
}

TEST_F(ShopInformation, recordCreatedByAnotherCopyMeanwhile_isSavedOverNotDoubled) {
    records::TShopInf w(main);
    w.FormActivate();
    type(child(w, "DBEdit1"), QStringLiteral("Mine"));
    {
        data::TDbfTable t;
        t.open(shop());
        t.insert();
        t.setFieldText("NAME", "Theirs");
        t.post();
    }
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(shopNames(), std::vector<std::string>{"Mine"});
}

TEST_F(ShopInformation, missingTable_isReportedAndSaveDoesNothing) {
    std::filesystem::remove(shop());
    records::shopInformation(nullptr, main);
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error).front().startsWith(QStringLiteral("Table does not exist.")));
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TShopInf")});
    EXPECT_FALSE(std::filesystem::exists(shop()));
}

TEST_F(ShopInformation, exitAfterTyping_asksAndThenStoresNothing) {
    records::TShopInf w(main);
    w.FormActivate();
    type(child(w, "DBEdit1"), QStringLiteral("Unsaved"));
    seam.answers = {true};
    click(w, "ShopInfExitBtn");
    EXPECT_EQ(seam.texts(Kind::Question).size(), 1);
    EXPECT_TRUE(shopNames().empty());
}

} // namespace
} // namespace arrowsel::test
