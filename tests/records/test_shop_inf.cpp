// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_commands.h"
#include "records/shop_inf.h"
#include "tests/records/records_fixture.h"

#include <fstream>
#include <sstream>

namespace arrowsel::test {
namespace {

using Kind = test::RecordingSeam::Kind;

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
            names.emplace_back(data::trimTrailingSpaces(t.fieldText("NAME")));
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
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("PHONE")), "555-0199");
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

TEST_F(ShopInformation, missingTable_isCreatedOnSaveWithTheReportsLayout) {
    std::filesystem::remove(shop());
    records::TShopInf w(main);
    w.FormActivate();
    ASSERT_EQ(seam.texts(Kind::Information).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Information).front().contains(QStringLiteral("SHOPINFO.DBF")));
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
    EXPECT_FALSE(std::filesystem::exists(shop())); // only a Save with something typed creates it
    click(w, "ShopInfSaveBtn");
    EXPECT_FALSE(std::filesystem::exists(shop()));

    type(child(w, "DBEdit1"), QStringLiteral("New Shop"));
    type(child(w, "DBEdit5"), QStringLiteral("Open Sundays"));
    click(w, "ShopInfSaveBtn");
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
    EXPECT_EQ(shopNames(), std::vector<std::string>{"New Shop"});
    data::TDbfTable t;
    t.open(shop(), data::TDbfTable::OpenMode::ReadOnly);
    std::vector<std::pair<std::string, int>> layout;
    for (const data::FieldDef& f : t.fields()) {
        EXPECT_EQ(f.type, data::FieldType::Character) << f.name;
        layout.emplace_back(f.name, f.width);
    }
    EXPECT_EQ(layout, (std::vector<std::pair<std::string, int>>{{"NAME", 30},
                                                                {"ADDR1", 30},
                                                                {"ADDR2", 30},
                                                                {"CITY", 18},
                                                                {"STATE", 10},
                                                                {"ZIP", 10},
                                                                {"COUNTRY", 12},
                                                                {"COMMENTS", 60},
                                                                {"PHONE", 20},
                                                                {"FAX", 20}}));
    EXPECT_EQ(data::trimTrailingSpaces(t.fieldText("COMMENTS")), "Open Sundays");
    // Later Saves edit the one record.
    type(child(w, "DBEdit3"), QStringLiteral("555-0100"));
    click(w, "ShopInfSaveBtn");
    EXPECT_EQ(shopNames(), std::vector<std::string>{"New Shop"});
}

// An empty SHOPINFO.DBF is what an earlier version left when stopped while creating the table:
// the window treats it as no table, and Save makes the whole table in its place.
TEST_F(ShopInformation, emptyFileLeftByAKill_isReplacedByTheTableOnSave) {
    std::filesystem::remove(shop());
    std::ofstream(shop(), std::ios::binary).close();
    records::TShopInf w(main);
    w.FormActivate();
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty());
    ASSERT_EQ(seam.texts(Kind::Information).size(), 1);
    type(child(w, "DBEdit1"), QStringLiteral("Mended Shop"));
    click(w, "ShopInfSaveBtn");
    EXPECT_TRUE(seam.texts(Kind::Error).isEmpty()) << seam.texts(Kind::Error).join(QString()).toStdString();
    EXPECT_EQ(shopNames(), std::vector<std::string>{"Mended Shop"});
}

TEST_F(ShopInformation, unreadableTable_isReportedAndSaveLeavesItAlone) {
    std::filesystem::remove(shop());
    {
        std::ofstream out(shop(), std::ios::binary);
        out << "not a table";
    }
    records::shopInformation(nullptr, main);
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_EQ(seam.dialogs, QStringList{QStringLiteral("TShopInf")});
    EXPECT_EQ(bytesOf(shop()), "not a table");
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
