// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_window.h"

#include "ui/guarded.h"
#include "ui/message_seam.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace arrowsel::records {

RecordWindow::RecordWindow(const char* objectName, const QString& title, QString discardQuestion, QWidget* parent)
    : QDialog(parent), body_(new QVBoxLayout(this)), discardQuestion_(std::move(discardQuestion)) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
}

RecordWindow::~RecordWindow() = default;

ui::MessageSeam& RecordWindow::seam() {
    return ui::MessageSeam::current();
}

void RecordWindow::addButtonRow(RowAlign align, std::initializer_list<RowButton> buttons) {
    auto* row = new QHBoxLayout;
    if (align == RowAlign::Right) {
        row->addStretch();
    }
    for (const RowButton& spec : buttons) {
        auto* b = new QPushButton(spec.text, this);
        b->setObjectName(QString::fromLatin1(spec.objectName));
        b->setAutoDefault(false);
        if (!spec.shortcut.isEmpty()) {
            b->setShortcut(spec.shortcut);
        }
        connect(b, &QPushButton::clicked, this, [this, click = spec.click] { ui::runGuarded(this, click); });
        row->addWidget(b);
    }
    body_->addLayout(row);
}

bool RecordWindow::mayDiscardTyping() {
    return !binding_.modified() || seam().question(this, discardQuestion_);
}

bool RecordWindow::closeDiscarding() {
    if (!mayDiscardTyping()) {
        return false;
    }
    ui::runGuarded(this, [this] { releaseRecord(); });
    QDialog::reject();
    return true;
}

void RecordWindow::reject() {
    closeDiscarding();
}

} // namespace arrowsel::records
