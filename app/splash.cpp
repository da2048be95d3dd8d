// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/splash.h"

#include "app/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace arrowsel::app {

TSplashV::TSplashV(const std::filesystem::path& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TSplashV"));
    setWindowTitle(tr("2009 Season"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("SplashImage"));
    picture->setPixmap(loadPicture(dataFolder, QStringLiteral("splash"), QSize(400, 260), tr("2009 Season")));
    picture->setAccessibleName(tr("2009 Season"));
    picture->setFrameShape(QFrame::Box);
    picture->setLineWidth(2);
    layout->addWidget(picture);
    adjustSize();
    setFixedSize(size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

} // namespace arrowsel::app
