// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/message_seam.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <vector>

namespace arrowsel::test {

// The message seam the tests, benchmarks and picture tools install: records every conversation
// and answers it from queues (or defaults: Yes, cancelled input, rejected dialog), so nothing ever
// waits on a real modal window. Installs itself for its lifetime. Lives with the tests because
// only they answer boxes this way; the program installs ui::QtMessageSeam.
class RecordingSeam : public ui::MessageSeam {
public:
    enum class Kind { Message, Information, Error, Question, Input, Offer };
    struct Entry {
        Kind kind;
        QString text;
    };

    RecordingSeam();
    ~RecordingSeam() override;
    RecordingSeam(const RecordingSeam&) = delete;
    RecordingSeam& operator=(const RecordingSeam&) = delete;
    RecordingSeam(RecordingSeam&&) = delete;
    RecordingSeam& operator=(RecordingSeam&&) = delete;

    void message(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    // Recorded as Offer; answered from `answers` as a question is (the action when true).
    bool offer(QWidget* parent, const QString& text, const QString& action) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    int execModal(QDialog& dialog) override;
    bool openUrl(const QUrl& url) override;

    std::vector<Entry> entries;  // boxes in the order shown
    QStringList dialogs;         // object names of the windows opened modally
    std::vector<QUrl> urls;      // addresses opened
    bool browserOpens = true;    // false: no browser takes an address
    std::vector<bool> answers;   // answers to questions, first first
    std::vector<QString> inputs; // answers to input boxes, first first
    // Called with each box's entry while it "shows" (e.g. to check state at that moment).
    std::function<void(const Entry&)> onBox;
    // Called with each modal window while it "shows"; returns its result code.
    std::function<int(QDialog&)> onDialog;

    QStringList texts(Kind kind) const;
    void clear();

private:
    void record(Kind kind, const QString& text);
    bool nextAnswer();
    MessageSeam* previous_;
};

} // namespace arrowsel::test
