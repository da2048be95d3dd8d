// SPDX-License-Identifier: GPL-3.0-or-later
#include "calc/about_box1.h"

#include "calc/models_guide.h"
#include "calc/pictures.h"
#include "ui/translations.h"
#include "widgets/link_label.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace arrowsel::calc {

namespace {

// The guide pictures' sizes, kept for a picture that cannot be read so the box still scrolls.
constexpr std::array<QSize, 3> kPictureSizes = {QSize(1204, 1580), QSize(1200, 1559), QSize(1172, 1118)};

} // namespace

TAboutBox1::TAboutBox1(const std::filesystem::path& dataFolder, std::string pageTag, QWidget* parent)
    : QDialog(parent), pageTag_(std::move(pageTag)) {
    setObjectName(QStringLiteral("TAboutBox1"));
    setWindowTitle(ui::coreText("GuideCaption", kGuideCaption));
    setFixedSize(795, 595);

    auto* pictures = new QWidget;
    pictures->setObjectName(QStringLiteral("GuidePictures"));
    for (int i = 0; i < 3; ++i) {
        auto* image = new QLabel(pictures);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setToolTip(tr("Use scroll bars and\narrows to view all items"));
        image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QPixmap picture = folderPicture(dataFolder, guidePictureFile(i + 1));
        image->setPixmap(picture);
        image->setAccessibleName(tr("Shaft models guide picture"));
        const QSize size = picture.isNull() ? kPictureSizes[i] : picture.size();
        image->setGeometry(QRect(QPoint(0, 0), size));
        image->hide();
        images_[i] = image;
    }
    pictures->resize(0, 0); // FormActivate sizes it to the picture it shows

    scrollBox_ = new QScrollArea;
    scrollBox_->setObjectName(QStringLiteral("ScrollBox1"));
    scrollBox_->setAccessibleName(ui::coreText("GuideCaption", kGuideCaption));
    scrollBox_->setWidget(pictures);
    scrollBox_->setFixedHeight(529);
    // The arrow keys scroll the picture.
    scrollBox_->setFocusPolicy(Qt::StrongFocus);

    auto* linkColumn = new QVBoxLayout;
    for (std::size_t i = 0; i < kGuideLinks.size(); ++i) {
        const GuideLinkInfo& info = guideLinkInfo(kGuideLinks[i]);
        auto* link = new widgets::TLinkLabel(ui::coreText("GuideLink", info.text), QUrl(QString::fromLatin1(info.url)));
        link->setObjectName(QString::fromLatin1(info.name));
        link->hide();
        linkColumn->addWidget(link);
        links_[i] = link;
    }
    linkColumn->addStretch();

    auto* close = new QPushButton(tr("&Close"));
    close->setObjectName(QStringLiteral("KECloseBtn"));
    close->setAccessibleName(tr("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &TAboutBox1::KECloseBtnClick);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(10, 6, 8, 8);
    bottom->addLayout(linkColumn);
    bottom->addStretch();
    bottom->addWidget(close, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollBox_);
    layout->addLayout(bottom);
}

void TAboutBox1::FormActivate() {
    for (auto* link : links_) {
        link->hide();
    }
    const auto page = guidePageFor(pageTag_);
    if (!page) {
        return;
    }
    images_[static_cast<std::size_t>(page->picture - 1)]->show();
    setWindowTitle(ui::coreText("GuideCaption", page->caption));
    links_[static_cast<std::size_t>(page->link)]->show();

    // The scroll range is that of what shows, not of the largest picture.
    QSize extent;
    for (const QLabel* image : images_) {
        if (!image->isHidden()) {
            extent = extent.expandedTo(image->size());
        }
    }
    scrollBox_->widget()->resize(extent);
}

void TAboutBox1::KECloseBtnClick() {
    reject();
}

bool TAboutBox1::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QDialog::event(e);
}

} // namespace arrowsel::calc
