#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QWidget;

namespace arrowsel::widgets {

// Every modal conversation with the user goes through the installed seam: message, information
// and error boxes, input boxes, modal side windows and opening a web address. The program installs
// QtMessageSeam; tests install RecordingSeam, so no test ever waits on a real modal window.
class MessageSeam {
public:
    MessageSeam() = default;
    MessageSeam(const MessageSeam&) = default;
    MessageSeam& operator=(const MessageSeam&) = default;
    MessageSeam(MessageSeam&&) = default;
    MessageSeam& operator=(MessageSeam&&) = default;
    virtual ~MessageSeam();

    virtual void message(QWidget* parent, const QString& text) = 0;     // plain box with OK
    virtual void information(QWidget* parent, const QString& text) = 0; // information box with OK
    virtual void error(QWidget* parent, const QString& text) = 0;       // the default error box
    virtual bool question(QWidget* parent, const QString& text) = 0;    // Yes (true) or No
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                             const QString& initial) = 0;
    // Shows `dialog` modally and returns its result code. The caller owns the dialog.
    virtual int execModal(QDialog& dialog) = 0;
    virtual void openUrl(const QUrl& url) = 0;

    // The installed seam (a QtMessageSeam until something else is installed). Not owned.
    static MessageSeam& current();
    // Installs `seam` (null: back to the Qt one) and returns the previous one.
    static MessageSeam* install(MessageSeam* seam);
};

class QtMessageSeam : public MessageSeam {
public:
    void message(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    int execModal(QDialog& dialog) override;
    void openUrl(const QUrl& url) override;
};

// Records every conversation and answers it from queues (or defaults: Yes, cancelled input,
// rejected dialog). Installs itself for its lifetime.
class RecordingSeam : public MessageSeam {
public:
    enum class Kind { Message, Information, Error, Question, Input };
    struct Entry {
        Kind kind;
        QString text;
    };

    RecordingSeam();
    ~RecordingSeam() override;
    RecordingSeam(const RecordingSeam&) = delete;
    RecordingSeam& operator=(const RecordingSeam&) = delete;

    void message(QWidget* parent, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& text) override;
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    int execModal(QDialog& dialog) override;
    void openUrl(const QUrl& url) override;

    std::vector<Entry> entries;  // boxes in the order shown
    QStringList dialogs;         // object names of the windows opened modally
    std::vector<QUrl> urls;      // addresses opened
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
    MessageSeam* previous_;
};

} // namespace arrowsel::widgets
