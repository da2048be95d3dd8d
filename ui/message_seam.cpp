// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_seam.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace arrowsel::ui {

namespace {

MessageSeam* g_installed = nullptr;

QtMessageSeam& qtSeam() {
    static QtMessageSeam seam;
    return seam;
}

QString boxTitle() {
    return QApplication::applicationDisplayName();
}

} // namespace

MessageSeam::~MessageSeam() = default;

MessageSeam& MessageSeam::current() {
    return g_installed ? *g_installed : qtSeam();
}

MessageSeam* MessageSeam::install(MessageSeam* seam) {
    MessageSeam* previous = g_installed;
    g_installed = seam;
    return previous;
}

void QtMessageSeam::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, boxTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void QtMessageSeam::information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, boxTitle(), text);
}

void QtMessageSeam::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, boxTitle(), text);
}

bool QtMessageSeam::question(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, boxTitle(), text) == QMessageBox::Yes;
}

bool QtMessageSeam::offer(QWidget* parent, const QString& text, const QString& action) {
    QMessageBox box(QMessageBox::Critical, boxTitle(), text, QMessageBox::Close, parent);
    QPushButton* act = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(act);
    box.exec();
    return box.clickedButton() == act;
}

std::optional<QString> QtMessageSeam::inputText(QWidget* parent, const QString& title, const QString& prompt,
                                                const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

int QtMessageSeam::execModal(QDialog& dialog) {
    return dialog.exec();
}

bool QtMessageSeam::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace arrowsel::ui
