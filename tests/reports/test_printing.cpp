// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/print_commands.h"
#include "tests/reports/report_fixture.h"
#include "tests/support/dbf_forge.h"
#include "tests/support/file_bytes.h"
#include "tests/support/recording_seam.h"
#include "ui/message_seam.h"
#include "ui/page_painter.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace arrowsel::reports {
namespace {

using test::RecordingSeam;
using ui::noPrinterQuestion;
using ui::paintPage;
using ui::pdfSavedMessage;
using ui::PrintStatus;
using ui::writePdf;
using Kind = RecordingSeam::Kind;
using Page_ = engine::Page;

class Printing : public ::testing::Test {
protected:
    test::TempDir dir;
    test::PrintedRun shown;
    test::FakePrintSeam printer;
    RecordingSeam boxes;
    PrintCommands commands{dir.path(), test::fixedTime, test::fixedLocale()};

    void SetUp() override {
        test::writeShopTable(dir.path(), {});
        shown.fillGrid(Page_::Hunt, 17);
    }
};

TEST_F(Printing, eachPrintCommand_sendsItsPageToThePrinterWithoutAWord) {
    EXPECT_EQ(commands.HPrintBtnClick(shown.setup, shown.result), PrintResult::Printed);
    EXPECT_EQ(commands.TPrintBtnClick(shown.setup, shown.result), PrintResult::Printed);
    EXPECT_EQ(commands.SpeedButton9Click(shown.setup, shown.result), PrintResult::Printed);
    EXPECT_EQ(commands.OrvkPrintBtnClick(shown.setup, shown.result), PrintResult::Printed);
    EXPECT_EQ(commands.printCustomer(CustomerTexts{}), PrintResult::Printed);
    ASSERT_EQ(printer.printed.size(), 5u);
    EXPECT_EQ(test::textOf(printer.printed[0], QStringLiteral("RptLabel53")), QStringLiteral("2009 Hunting Shafts"));
    EXPECT_EQ(test::textOf(printer.printed[1], QStringLiteral("SectionTitle")), QStringLiteral("2009 Target Shafts"));
    EXPECT_EQ(test::textOf(printer.printed[2], QStringLiteral("SectionTitle")), QStringLiteral("2009 Youth Shafts"));
    EXPECT_EQ(test::textOf(printer.printed[3], QStringLiteral("SectionTitle")), QStringLiteral("2009 Orvik Shafts"));
    EXPECT_EQ(test::textOf(printer.printed[4], QStringLiteral("RptLabel1")), QStringLiteral("Customer Detail Report"));
    // Only the customer report shows the progress window.
    EXPECT_EQ(printer.progress, (std::vector<bool>{false, false, false, false, true}));
    EXPECT_TRUE(boxes.entries.empty());
}

TEST_F(Printing, noPrinter_userSavesAPdf_toldWhereAndNotThatItPrinted) {
    printer.outcome = {PrintStatus::NoPrinter, {}};
    printer.fileName = QString::fromStdString((dir / "hunt.pdf").string());
    boxes.answers = {true};
    EXPECT_EQ(commands.HPrintBtnClick(shown.setup, shown.result), PrintResult::SavedAsPdf);
    ASSERT_EQ(boxes.entries.size(), 2u);
    EXPECT_EQ(boxes.entries[0].kind, Kind::Question);
    EXPECT_EQ(boxes.entries[0].text, noPrinterQuestion());
    EXPECT_EQ(boxes.entries[1].kind, Kind::Information);
    EXPECT_EQ(boxes.entries[1].text, pdfSavedMessage(*printer.fileName));
    QFile pdf(*printer.fileName);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));
}

TEST_F(Printing, noPrinter_userDeclinesOrCancelsTheFile_nothingIsWrittenOrClaimed) {
    printer.outcome = {PrintStatus::NoPrinter, {}};
    boxes.answers = {false};
    EXPECT_EQ(commands.OrvkPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(printer.fileQuestions, 0);
    EXPECT_EQ(boxes.texts(Kind::Question).size(), 1);

    boxes.clear();
    boxes.answers = {true};
    printer.fileName.reset();
    EXPECT_EQ(commands.OrvkPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(printer.fileQuestions, 1);
    EXPECT_TRUE(boxes.texts(Kind::Information).isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir / "hunt.pdf"));
}

TEST_F(Printing, pdfThatCannotBeWritten_isReportedAsAnError) {
    printer.outcome = {PrintStatus::NoPrinter, {}};
    printer.fileName = QString::fromStdString((dir / "no-such-folder" / "x.pdf").string());
    boxes.answers = {true};
    EXPECT_EQ(commands.TPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    ASSERT_EQ(boxes.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(boxes.texts(Kind::Error)[0].startsWith(QStringLiteral("The PDF file was not saved: ")));
    EXPECT_TRUE(boxes.texts(Kind::Information).isEmpty());
}

TEST_F(Printing, printerFailure_isAnErrorNotASuccess) {
    printer.outcome = {PrintStatus::Failed, QStringLiteral("the printer PDF reported an error")};
    EXPECT_EQ(commands.SpeedButton9Click(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(boxes.texts(Kind::Error),
              QStringList{QStringLiteral("The report was not printed: the printer PDF reported an error.")});
}

TEST_F(Printing, missingShopTable_stopsTheSetupReports_orvikAndCustomerPrintWithAnEmptyShopHeader) {
    std::filesystem::remove(dir / "SHOPINFO.DBF");
    EXPECT_EQ(commands.HPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(commands.TPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(commands.SpeedButton9Click(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_TRUE(printer.printed.empty());
    ASSERT_EQ(boxes.texts(Kind::Error).size(), 3);
    EXPECT_TRUE(boxes.texts(Kind::Error)[0].contains(QStringLiteral("SHOPINFO")));

    shown.fillGrid(Page_::Orvk, 7);
    EXPECT_EQ(commands.OrvkPrintBtnClick(shown.setup, shown.result), PrintResult::Printed);
    CustomerTexts c;
    c.name = QStringLiteral("Ann Archer");
    EXPECT_EQ(commands.printCustomer(c), PrintResult::Printed);
    EXPECT_EQ(boxes.texts(Kind::Error).size(), 3);
    ASSERT_EQ(printer.printed.size(), 2u);
    const Document& orvik = printer.printed[0];
    EXPECT_EQ(test::textOf(orvik, QStringLiteral("RptDBText1")), QString());
    EXPECT_EQ(test::textOf(orvik, QStringLiteral("RptExpr1")), QString());
    EXPECT_EQ(test::textOf(orvik, QStringLiteral("RptExpr2")), QString());
    EXPECT_EQ(test::textOf(orvik, QStringLiteral("RptDBText3")), QString());
    EXPECT_EQ(test::textOf(orvik, QStringLiteral("RptSz1")), QStringLiteral("S1"));
    EXPECT_EQ(test::textOf(printer.printed[1], QStringLiteral("QRDBText1")), QString());
    EXPECT_EQ(test::textOf(printer.printed[1], QStringLiteral("NameVal")), QStringLiteral("Ann Archer"));

    // A shop table that is there but cannot be read is still reported, on every report.
    test::writeFile(dir / "SHOPINFO.DBF", "not a table");
    EXPECT_EQ(commands.OrvkPrintBtnClick(shown.setup, shown.result), PrintResult::NotPrinted);
    EXPECT_EQ(commands.printCustomer(c), PrintResult::NotPrinted);
    EXPECT_EQ(boxes.texts(Kind::Error).size(), 5);
}

TEST_F(Printing, longestShopComment_printsNothingOutsideItsBox) {
    test::ShopFields shop;
    shop.comments = std::string(60, 'W'); // the field's width, in the widest letter
    test::writeShopTable(dir.path(), shop);
    const Page page = commands.render(Page_::Hunt, shown.setup, shown.result).pages.at(0);
    ASSERT_EQ(page.boxes.size(), 1u);
    const QRectF box = page.boxes[0].rect;

    constexpr double dpi = 100;
    QImage image(int(8.5 * dpi), int(11 * dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPage(painter, page);
    }
    int outside = 0;
    int inside = 0;
    for (int y = int(box.top() * dpi) + 3; y < int(box.bottom() * dpi) - 3; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 128) {
                continue;
            }
            if (x < box.left() * dpi - 2 || x > box.right() * dpi + 2) {
                ++outside;
            } else if (x > box.left() * dpi + 3 && x < box.right() * dpi - 3) {
                ++inside;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(inside, 0);
}

// The texts must reach the page itself, not only the page model.
TEST_F(Printing, pdfOfEveryReport_carriesItsTextsInTheEmbeddedArialMetricFont) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdffonts = QStandardPaths::findExecutable(QStringLiteral("pdffonts"));
    if (pdftotext.isEmpty() || pdffonts.isEmpty()) {
        GTEST_SKIP() << "poppler-utils not installed";
    }
    auto run = [](const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    auto simplified = [](QString s) { return s.simplified(); };

    const QString hunt = QString::fromStdString((dir / "hunt.pdf").string());
    ASSERT_TRUE(writePdf(commands.render(Page_::Hunt, shown.setup, shown.result), hunt));
    const QString text = simplified(run(pdftotext, {QStringLiteral("-layout"), hunt, QStringLiteral("-")}));
    for (const char* t :
         {"Bullseye Archery", "Phone: 703-555-0199 FAX: 703-555-0198", "07/03/2009 14:05", "Peak Bow Weight: 60",
          "Brace Height: More Than 6 1/2\"", "2009 Hunting Shafts", "Size Spine Value Models Weight", "S1 P1 M1 W1",
          "S17 P17 M17 W17", "Carbon Shafts", "S10 P10 M10 W10", "Thank you for shopping with us"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t << "\n" << text.toStdString();
    }
    EXPECT_TRUE(run(pdffonts, {hunt}).contains(QStringLiteral("LiberationSans-Bold")));

    const QString cust = QString::fromStdString((dir / "cust.pdf").string());
    CustomerTexts c;
    c.name = QStringLiteral("Ann Archer");
    c.comment = QStringLiteral("Fletching: four inch vanes");
    ASSERT_TRUE(writePdf(commands.renderCustomer(c), cust));
    const QString custText = simplified(run(pdftotext, {QStringLiteral("-layout"), cust, QStringLiteral("-")}));
    for (const char* t : {"Customer Detail Report", "For Customer: Ann Archer", "Fletching: four inch vanes",
                          "Oakton, VA 22124", "Printed: 07/03/2009"}) {
        EXPECT_TRUE(custText.contains(QString::fromUtf8(t))) << t << "\n" << custText.toStdString();
    }
}

// A PDF replaces only a regular file, keeping its mode, or a link, whose target it leaves as it
// was; a pipe, a device or a folder named as the target is refused with a reason, and stays what
// it was.
TEST_F(Printing, pdfTarget_onlyARegularFile_whoseModeIsKept_orALinkNeverWrittenThrough) {
    const auto doc = commands.render(Page_::Hunt, shown.setup, shown.result);
    const std::filesystem::path pipe = dir / "pipe.pdf";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.pdf");
    for (const std::filesystem::path& target : {pipe, dir / "folder.pdf"}) {
        QString error;
        EXPECT_FALSE(writePdf(doc, QString::fromStdString(target.string()), &error));
        EXPECT_TRUE(error.contains(QStringLiteral("not a regular file"))) << error.toStdString();
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.pdf"));

    const std::filesystem::path kept = dir / "kept.pdf";
    std::ofstream(kept) << "old";
    std::filesystem::permissions(kept, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_TRUE(writePdf(doc, QString::fromStdString(kept.string())));
    EXPECT_EQ(std::filesystem::status(kept).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
    EXPECT_GT(std::filesystem::file_size(kept), 3u);

    const std::filesystem::path other = dir / "other.txt";
    std::ofstream(other) << "the shop's other file";
    std::filesystem::create_symlink(other, dir / "link.pdf");
    ASSERT_TRUE(writePdf(doc, QString::fromStdString((dir / "link.pdf").string())));
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "link.pdf"));
    EXPECT_GT(std::filesystem::file_size(dir / "link.pdf"), 3u);
    EXPECT_EQ(test::readFile(other), "the shop's other file");
}

} // namespace
} // namespace arrowsel::reports
