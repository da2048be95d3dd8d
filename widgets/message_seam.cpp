#include "widgets/message_seam.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace arrowsel::widgets {

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

void QtMessageSeam::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

RecordingSeam::RecordingSeam() : previous_(MessageSeam::install(this)) {}

RecordingSeam::~RecordingSeam() {
    MessageSeam::install(previous_);
}

void RecordingSeam::record(Kind kind, const QString& text) {
    entries.push_back({kind, text});
    if (onBox) {
        onBox(entries.back());
    }
}

void RecordingSeam::message(QWidget*, const QString& text) {
    record(Kind::Message, text);
}

void RecordingSeam::information(QWidget*, const QString& text) {
    record(Kind::Information, text);
}

void RecordingSeam::error(QWidget*, const QString& text) {
    record(Kind::Error, text);
}

bool RecordingSeam::question(QWidget*, const QString& text) {
    record(Kind::Question, text);
    if (answers.empty()) {
        return true;
    }
    bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

std::optional<QString> RecordingSeam::inputText(QWidget*, const QString&, const QString& prompt, const QString&) {
    record(Kind::Input, prompt);
    if (inputs.empty()) {
        return std::nullopt;
    }
    QString answer = inputs.front();
    inputs.erase(inputs.begin());
    return answer;
}

int RecordingSeam::execModal(QDialog& dialog) {
    dialogs << dialog.objectName();
    return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
}

void RecordingSeam::openUrl(const QUrl& url) {
    urls.push_back(url);
}

QStringList RecordingSeam::texts(Kind kind) const {
    QStringList result;
    for (const Entry& e : entries) {
        if (e.kind == kind) {
            result << e.text;
        }
    }
    return result;
}

void RecordingSeam::clear() {
    entries.clear();
    dialogs.clear();
    urls.clear();
}

} // namespace arrowsel::widgets
