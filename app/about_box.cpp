// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_box.h"

#include "app/pictures.h"
#include "widgets/link_label.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace arrowsel::app {

TAboutBox::TAboutBox(const std::filesystem::path& dataFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(tr("About 2009"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(loadPicture(dataFolder, QStringLiteral("about"), QSize(300, 160), tr("Arvendel")));
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(tr("Arvendel"));
    layout->addWidget(picture);

    auto* visit = new QLabel(tr("Visit our WWW site:"), this);
    visit->setAlignment(Qt::AlignCenter);
    layout->addWidget(visit);
    auto* link =
        new widgets::TLinkLabel(tr("www.arvendel.example.com"), QUrl(tr("https://www.arvendel.example.com/")), this);
    link->setObjectName(QStringLiteral("WebLink"));
    link->setAlignment(Qt::AlignCenter);
    layout->addWidget(link);

    const QStringList details{tr("Arvendel Archery Products"), tr("Arrow Shaft Selector 2009"),
                              tr("1200 Fletching Way, Springvale"),
                              tr("Customer service: service@arvendel.example.com")};
    for (int i = 0; i < details.size(); ++i) {
        auto* line = new QLabel(details[i], this);
        line->setObjectName(QStringLiteral("DetailLine%1").arg(i + 1));
        line->setAlignment(Qt::AlignCenter);
        layout->addWidget(line);
    }

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
}

} // namespace arrowsel::app
