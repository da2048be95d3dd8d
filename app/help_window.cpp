// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_window.h"

#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

// Resources of a static library must be registered by name, from the global namespace.
static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace arrowsel::app {

namespace {

// The page in the language the windows speak: the translation names the folder of its pages, so
// the help follows the installed translation, not the locale. English pages sit at the top of the
// resource; a page not translated yet is shown in English.
QUrl pageUrl(const QString& language, const QString& page) {
    if (language != QLatin1String("en")) {
        const QString translated = QStringLiteral(":/help/%1/%2").arg(language, page);
        if (QFile::exists(translated)) {
            return QUrl(QStringLiteral("qrc") + translated);
        }
    }
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    initHelpResources();
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(tr("Tuning Information"));
    resize(640, 560);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    browser_->setAccessibleName(tr("Help text"));

    auto* back = new QPushButton(tr("&Back"), this);
    back->setObjectName(QStringLiteral("HelpBackBtn"));
    auto* contents = new QPushButton(tr("C&ontents"), this);
    contents->setObjectName(QStringLiteral("HelpContentsBtn"));
    auto* close = new QPushButton(tr("&Close"), this);
    close->setObjectName(QStringLiteral("HelpCloseBtn"));
    back->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(contents, &QPushButton::clicked, this, [this] { showTopic(1); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void THelpWindow::showTopic(int topic) {
    const QString page = topic == 2 ? QStringLiteral("reading_the_chart.html") : QStringLiteral("tuning.html");
    browser_->setSource(pageUrl(tr("en", "language of the help pages"), page));
}

THelpWindow* showHelpTopic(int topic, QWidget* owner) {
    static QPointer<THelpWindow> window;
    if (!window || window->parent() != owner) {
        delete window.data();
        window = new THelpWindow(owner);
        // Opened in the middle of the owner's screen; moved by the user, it stays where it is put.
        QRect frame(QPoint(), window->size());
        frame.moveCenter((owner ? owner->screen() : QGuiApplication::primaryScreen())->availableGeometry().center());
        window->move(frame.topLeft());
    }
    window->showTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace arrowsel::app
