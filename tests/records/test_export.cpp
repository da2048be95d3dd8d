// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_commands.h"
#include "tests/records/records_fixture.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace arrowsel::test {
namespace {

using Kind = test::RecordingSeam::Kind;

class ExportCustomers : public RecordsTest {
protected:
    std::string exported() {
        std::ifstream in(dir / "custdb.txt", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The fixed sentence, then the file's full path on a line of its own.
    QString createdMessage() const {
        return QStringLiteral("File CUSTDB.TXT has been created\n") +
               QString::fromStdString((dir.path() / "custdb.txt").string());
    }
};

TEST_F(ExportCustomers, quotesCommasMemoAndAccents_areWrittenWhole) {
    addRecord({{"NAME", "O'Neil, \"Bud\" Pe\u00f1a"},
               {"COMMENTS", "Likes \"heavy\" points,\r\nfingers"},
               {"CITY", "M\u00fcnchen"},
               {"DATE", "20260314"}});
    addRecord({{"NAME", "Adams"}, {"HORT", "1"}});
    ASSERT_TRUE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{createdMessage()});
    const std::string text = exported();
    const std::string first = text.substr(0, text.find("\r\n", text.find("fingers")) + 2);
    // The saved-setups table's own code page (Windows-1252), not UTF-8.
    EXPECT_EQ(first, "\"O'Neil, \"\"Bud\"\" Pe\xF1"
                     "a\",\"1 Main St\",\"\",\"M\xFC"
                     "nchen\",\"IL\",\"\",\"\",\"\","
                     "\"Likes \"\"heavy\"\" points,\r\nfingers\",20260314,\"55\",\"28\",\"125\",0,0,0,0,0,0\r\n");
    EXPECT_NE(text.find("\"Adams\""), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(ExportCustomers, emptyTable_writesAnEmptyFileAndSaysSo) {
    ASSERT_TRUE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_EQ(exported(), "");
    EXPECT_EQ(seam.texts(Kind::Message), QStringList{createdMessage()});
}

TEST_F(ExportCustomers, fileThatCannotBeWritten_isReportedNotAnnouncedAsCreated) {
    std::filesystem::create_directory(dir / "custdb.txt");
    EXPECT_FALSE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(seam.texts(Kind::Error).front().contains(QStringLiteral("custdb.txt")));
}

TEST_F(ExportCustomers, readOnlyFolder_isNamedAndNothingIsAnnounced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into any folder";
    }
    ::chmod(dir.path().c_str(), 0555);
    const bool ok = records::exportCustomerDatabase(nullptr, main);
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    ASSERT_EQ(seam.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(
        seam.texts(Kind::Error)
            .front()
            .contains(QStringLiteral("the folder %1 is read-only").arg(QString::fromStdString(dir.path().string()))))
        << seam.texts(Kind::Error).front().toStdString();
}

TEST_F(ExportCustomers, missingTable_isReported) {
    std::filesystem::remove(dir / "Saveddb.dbf");
    EXPECT_FALSE(records::exportCustomerDatabase(nullptr, main));
    EXPECT_TRUE(seam.texts(Kind::Message).isEmpty());
    EXPECT_EQ(seam.texts(Kind::Error).size(), 1);
}

} // namespace
} // namespace arrowsel::test
