// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/recording_seam.h"

#include <QDialog>

namespace arrowsel::test {

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

bool RecordingSeam::nextAnswer() {
    if (answers.empty()) {
        return true;
    }
    bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

bool RecordingSeam::question(QWidget*, const QString& text) {
    record(Kind::Question, text);
    return nextAnswer();
}

bool RecordingSeam::offer(QWidget*, const QString& text, const QString&) {
    record(Kind::Offer, text);
    return nextAnswer();
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

bool RecordingSeam::openUrl(const QUrl& url) {
    urls.push_back(url);
    return browserOpens;
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

} // namespace arrowsel::test
