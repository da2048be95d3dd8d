// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_window.h"

#include "ui/guarded.h"
#include "ui/message_seam.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace arrowsel::records {

RecordWindow::RecordWindow(const char* objectName, const QString& title, QString discardQuestion, QWidget* parent)
    : QDialog(parent), outer_(new QVBoxLayout(this)), content_(new QWidget(this)), body_(new QVBoxLayout(content_)),
      discardQuestion_(std::move(discardQuestion)) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    body_->setContentsMargins(0, 0, 0, 0);
    outer_->addWidget(content_);
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

void RecordWindow::beginBookWait(QWidget* panel) {
    waiting_ = true;
    focusBeforeWait_ = focusWidget();
    panel->hide(); // shown when the wait lasts
    outer_->addWidget(panel);
    content_->setEnabled(false);
}

void RecordWindow::endBookWait() {
    content_->setEnabled(true);
    waiting_ = false;
    if (focusBeforeWait_ != nullptr && isAncestorOf(focusBeforeWait_)) {
        focusBeforeWait_->setFocus();
    }
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
    if (waiting_) {
        return; // the command that waits for the book ends first
    }
    closeDiscarding();
}

} // namespace arrowsel::records
