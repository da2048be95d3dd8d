// SPDX-License-Identifier: GPL-3.0-or-later
// Every window in a made-up language: each text it shows, names to a screen reader or gives as a
// tip has passed through a translation function. What a shop or a customer typed and what the
// maker's files hold (chart cells, models, weights) stay as they are.
#include "app/arrow_sel.h"
#include "app/side_commands.h"
#include "tests/app/every_window.h"
#include "tests/support/pseudo_locale.h"
#include "tests/support/recording_seam.h"
#include "tests/support/temp_dir.h"
#include "ui/translations.h"
#include "widgets/cell_button.h"
#include "widgets/link_label.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QTabBar>
#include <QTextEdit>
#include <QTranslator>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace arrowsel::app {
namespace {

namespace fs = std::filesystem;

// Controls whose text is the data's, not the program's, by their object names.
const QSet<QString>& showsData() {
    static const QSet<QString> names{
        // The main window's hidden working labels: the clicked shaft's key, size and models and the
        // page's tag as the side windows read them back, and the Target chart's spine texts; the
        // customer windows' point weight as typed, with its grains unit, and the entry's date as the
        // locale writes it.
        QStringLiteral("TmpLbl"),   QStringLiteral("TmpLbl2"),  QStringLiteral("SpcLbl"),   QStringLiteral("Mods"),
        QStringLiteral("TSP1LBL"),  QStringLiteral("TSP2LBL"),  QStringLiteral("TSP3LBL"),  QStringLiteral("TSP4LBL"),
        QStringLiteral("TSP5LBL"),  QStringLiteral("TSP6LBL"),  QStringLiteral("TSP7LBL"),  QStringLiteral("TSP8LBL"),
        QStringLiteral("TSP9LBL"),  QStringLiteral("TSP10LBL"), QStringLiteral("TSP11LBL"), QStringLiteral("TSP12LBL"),
        QStringLiteral("TSP13LBL"), QStringLiteral("TSP14LBL"), QStringLiteral("Label27"),  QStringLiteral("DBText1"),
    };
    return names;
}

// The specifications window's fields of the chosen shaft, as its table holds them.
const QSet<QString>& shaftFields() {
    static const QSet<QString> names{QStringLiteral("ARROWTYPE"), QStringLiteral("LENGTH"), QStringLiteral("OD"),
                                     QStringLiteral("GPI"),       QStringLiteral("WALL"),   QStringLiteral("ID"),
                                     QStringLiteral("SPINE")};
    return names;
}

struct Shown {
    QString what;
    QString text;
};

// The texts one widget puts before the user, its own ones only (not its children's).
std::vector<Shown> textsOf(const QWidget& w) {
    std::vector<Shown> texts{{QStringLiteral("tool tip"), w.toolTip()},
                             {QStringLiteral("status tip"), w.statusTip()},
                             {QStringLiteral("accessible description"), w.accessibleDescription()}};
    // A link tells the address it opens: a place, not words.
    if (const auto* link = qobject_cast<const widgets::TLinkLabel*>(&w)) {
        std::erase_if(texts, [address = link->url().toString()](const Shown& s) { return s.text == address; });
    }
    // A cell is named by the caption it shows, the chart's text.
    const auto* shownCell = qobject_cast<const widgets::TCellButton*>(&w);
    if (shownCell == nullptr || w.accessibleName() != shownCell->caption()) {
        texts.push_back({QStringLiteral("accessible name"), w.accessibleName()});
    }
    if (w.isWindow()) {
        texts.push_back({QStringLiteral("title"), w.windowTitle()});
    }
    const bool data = showsData().contains(w.objectName()) || shaftFields().contains(w.objectName());
    if (const auto* cell = qobject_cast<const widgets::TCellButton*>(&w)) {
        // A chart's cell shows the chart's text; the words the program writes into one are its own.
        if (cell->caption() == QStringLiteral("Carbon") || cell->caption() == QStringLiteral("Details")) {
            texts.push_back({QStringLiteral("caption"), cell->caption()});
        }
    } else if (const auto* label = qobject_cast<const QLabel*>(&w); label && !data) {
        texts.push_back({QStringLiteral("text"), label->text()});
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&w); button && !data) {
        texts.push_back({QStringLiteral("text"), button->text()});
    } else if (const auto* box = qobject_cast<const QGroupBox*>(&w)) {
        texts.push_back({QStringLiteral("title"), box->title()});
    } else if (const auto* combo = qobject_cast<const QComboBox*>(&w); combo && !data) {
        for (int i = 0; i < combo->count(); ++i) {
            texts.push_back({QStringLiteral("item"), combo->itemText(i)});
        }
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(&w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            texts.push_back({QStringLiteral("tab"), tabs->tabText(i)});
            texts.push_back({QStringLiteral("tab tip"), tabs->tabToolTip(i)});
        }
    } else if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&w)) {
        texts.push_back({QStringLiteral("special value"), spin->specialValueText()});
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(&w)) {
        texts.push_back({QStringLiteral("placeholder"), edit->placeholderText()});
    } else if (const auto* header = qobject_cast<const QHeaderView*>(&w); header && header->model()) {
        for (int i = 0; i < header->count(); ++i) {
            texts.push_back(
                {QStringLiteral("heading"), header->model()->headerData(i, header->orientation()).toString()});
        }
    }
    return texts;
}

// Every text of `top` and its menus that did not pass through a translation.
void expectTranslated(QWidget& top, const QString& name) {
    QList<QWidget*> widgets = top.findChildren<QWidget*>();
    widgets.prepend(&top);
    int looked = 0;
    for (const QWidget* w : widgets) {
        if (w->window() != &top && !qobject_cast<const QMenu*>(w)) {
            continue;
        }
        for (const Shown& shown : textsOf(*w)) {
            ++looked;
            const QString left = test::untranslatedPart(shown.text);
            EXPECT_TRUE(left.isEmpty()) << name.toStdString() << ": " << w->metaObject()->className() << " "
                                        << w->objectName().toStdString() << " " << shown.what.toStdString() << " \""
                                        << shown.text.left(60).toStdString() << "\"";
        }
    }
    for (const QAction* action : top.findChildren<QAction*>()) {
        for (const QString& text : {action->text(), action->toolTip(), action->statusTip()}) {
            EXPECT_TRUE(test::untranslatedPart(text).isEmpty())
                << name.toStdString() << ": action " << action->objectName().toStdString() << " \""
                << text.left(60).toStdString() << "\"";
        }
    }
    EXPECT_GT(looked, 0) << name.toStdString();
}

TEST(PseudoLocaleTest, everyTextOfEveryWindowIsOfferedForTranslation) {
    const fs::path bundled = fs::path(ARROWSEL_BINARY_DIR) / "sampledata" / "data";
    if (!fs::exists(bundled / "HUNTCHRT.DBF")) {
        GTEST_SKIP() << "sample data not generated";
    }
    test::TempDir folder;
    fs::copy(bundled, folder.path(), fs::copy_options::recursive);
    test::RecordingSeam seam;
    const test::PseudoLocale pseudo;
    TArrowSel window(folder.path());
    installSideCommands(window);
    test::visitEveryWindow(window, seam, [&](QWidget& top, const QString& name) { expectTranslated(top, name); });
    // The boxes the windows put up on the way (a saved customer, a warning) are the program's too.
    for (const auto& box : seam.entries) {
        EXPECT_TRUE(test::untranslatedPart(box.text).isEmpty()) << "box \"" << box.text.left(60).toStdString() << "\"";
    }
    const QSet<test::PseudoTranslator::Asked> asked = pseudo.asked();

    // Each text asked for has its German, under the context the program asks with.
    QTranslator german;
    ASSERT_TRUE(ui::loadTranslation(german, QLocale(QLocale::German, QLocale::Germany)));
    ASSERT_FALSE(asked.isEmpty());
    for (const auto& [context, english] : asked) {
        EXPECT_FALSE(german.translate(context.toUtf8().constData(), english.toUtf8().constData()).isEmpty())
            << "no German for \"" << english.toStdString() << "\" in " << context.toStdString();
    }
}

} // namespace
} // namespace arrowsel::app
