#include "records/record_commands.h"
#include "tests/records/records_fixture.h"

#include <fstream>
#include <sstream>

namespace arrowsel::test {
namespace {

using Kind = widgets::RecordingSeam::Kind;

class ExportCustomers : public RecordsTest {
protected:
    std::string exported() {
        std::ifstream in(dir / "custdb.txt", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(ExportCustomers, quotesCommasMemoAndAccents_areWrittenWhole) {
    addRecord({{"NAME", "O'Neil, \"Bud\" Pe\u00f1a"},
               {"COMMENTS", "Likes \"heavy\" points,\r\nfingers"},
               {"CITY", "M\u00fcnchen"},
               {"DATE", "20260314"}});
    addRecord({{"NAME", "Adams"}, {"HORT", "1"}});
    ASSERT_TRUE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("File CUSTDB.TXT has been created")});
    const std::string text = exported();
    const std::string first = text.substr(0, text.find("\r\n", text.find("fingers")) + 2);
    EXPECT_EQ(first, "\"O'Neil, \"\"Bud\"\" Pe\u00f1a\",\"1 Main St\",\"\",\"M\u00fcnchen\",\"IL\",\"\",\"\",\"\","
                     "\"Likes \"\"heavy\"\" points,\r\nfingers\",20260314,\"55\",\"28\",\"125\",0,0,0,0,0,0\r\n");
    EXPECT_NE(text.find("\"Adams\""), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(ExportCustomers, emptyTable_writesAnEmptyFileAndSaysSo) {
    ASSERT_TRUE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_EQ(exported(), "");
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{QStringLiteral("File CUSTDB.TXT has been created")});
}

TEST_F(ExportCustomers, fileThatCannotBeWritten_isReportedNotAnnouncedAsCreated) {
    std::filesystem::create_directory(dir / "custdb.txt");
    EXPECT_FALSE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error).front().contains(QStringLiteral("custdb.txt")));
}

TEST_F(ExportCustomers, missingTable_isReported) {
    std::filesystem::remove(dir / "Saveddb.dbf");
    EXPECT_FALSE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    EXPECT_EQ(seam.texts(Kind::Error).size(), 1);
}

} // namespace
} // namespace arrowsel::test
