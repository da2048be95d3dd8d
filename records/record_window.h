// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records/field_binding.h"

#include <QDialog>
#include <QKeySequence>
#include <QPointer>
#include <QString>
#include <functional>
#include <initializer_list>

class QVBoxLayout;

namespace arrowsel::ui {
class MessageSeam;
}

namespace arrowsel::records {

// The frame the customer and shop windows share: their content in one column over a row of
// buttons, the edits bound to the record's fields, and one way out. The Close/Exit button, Escape
// and the title bar's close button all ask the same question before they drop what was typed, so
// no way out loses a customer's details without asking.
class RecordWindow : public QDialog {
    Q_OBJECT
public:
    ~RecordWindow() override;
    Q_DISABLE_COPY_MOVE(RecordWindow)

    // While the book works: the window's controls are disabled (what was typed stays shown) and
    // `panel` (the wait's line and Cancel) sits below them; endBookWait puts them back as they
    // were, focus included.
    void beginBookWait(QWidget* panel);
    void endBookWait();
    bool waitingForBook() const { return waiting_; }

protected:
    // `discardQuestion` is asked on the way out when something was typed since the last load or
    // save; Yes closes, No keeps the window open.
    RecordWindow(const char* objectName, const QString& title, QString discardQuestion, QWidget* parent);

    struct RowButton {
        QString text;
        const char* objectName;
        std::function<void()> click;
        QKeySequence shortcut = {};
    };
    // Right: the buttons sit together at the right edge; Fill: they share the whole width.
    enum class RowAlign { Right, Fill };
    // Puts the row of buttons below everything added to body() so far. A click that fails is
    // reported in an error box and leaves the window open.
    void addButtonRow(RowAlign align, std::initializer_list<RowButton> buttons);

    QVBoxLayout* body() const { return body_; }
    static ui::MessageSeam& seam();

    // Closes the window unless there are typed changes and the user answers No. Before closing,
    // releaseRecord() lets go of the record; a failure there is reported and the window still
    // closes, as the user asked. Returns false when the window stays open.
    bool closeDiscarding();
    // True when nothing was typed, or the user answered Yes to the question asked on the way out.
    bool mayDiscardTyping();
    // Drops the record being edited and closes what the window opened.
    virtual void releaseRecord() = 0;

    void reject() override;

    FieldBinding binding_;

private:
    QVBoxLayout* outer_;
    QWidget* content_;
    QVBoxLayout* body_;
    QString discardQuestion_;
    bool waiting_ = false;
    QPointer<QWidget> focusBeforeWait_;
};

} // namespace arrowsel::records
