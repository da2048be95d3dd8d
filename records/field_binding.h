// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/dbf_table.h"
#include "records/book_worker.h"
#include "records/saved_setup.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace arrowsel::records {

// Edits bound to the fields of a record: the current record of a customer book, or of a table.
// What the user types stays in the edits until the caller stores values() (or store() writes them
// into a table's record being edited), so a refused or failed save leaves every typed value on the
// window.
class FieldBinding {
public:
    // Called the first time the user changes a bound edit after a load() (to start editing).
    std::function<void()> onFirstChange;

    void addLine(QLineEdit* edit, const char* field, const char* caption, bool upperCase = false);
    // A memo edit takes at most kCommentLimit characters; what is typed or pasted past that is
    // left out and `note` says so. A stored text longer than that, or read only in part, is shown
    // read-only (laid out in display lines, its control characters as their pictures) and never
    // written back; `note` says that too.
    void addMemo(QPlainTextEdit* edit, const char* field, const char* caption, QLabel* note);

    // Limits each line edit to its field's width, and takes the table's code page for the
    // upper-case edits.
    void applyWidths(const data::TDbfTable& table);
    // The same from a table's layout before the table exists, or from what a book said of itself.
    void applyWidths(const std::vector<data::TDbfTable::FieldSpec>& fields,
                     data::CodePage cp = data::CodePage::Windows1252);
    void applyWidths(const std::vector<SetupField>& fields, data::CodePage cp = data::CodePage::Windows1252);
    // Shows the current record (character fields without their padding); clears modified().
    void load(const data::TDbfTable& table);
    // The record a customer book's job left current, as its worker copied it out.
    void load(const BookView& record);
    void clear();
    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }

    // What the user can have changed: every field but a memo that is only shown.
    std::vector<FieldValue> values() const;
    QString text(const char* field) const;
    // A sentence naming the first field whose text the table cannot store; empty when all can.
    QString refusal(const data::TDbfTable& table) const;
    QString refusal(data::CodePage cp) const;
    // Writes every bound field into the record being edited (throws data::ETableError).
    void store(data::TDbfTable& table) const;
    void setReadOnly(bool readOnly);
    QWidget* editor(const char* field) const;

private:
    struct Bound {
        std::string field;
        const char* caption;
        QLineEdit* line = nullptr;
        QPlainTextEdit* memo = nullptr;
        QLabel* note = nullptr;
        bool shownOnly = false; // a memo shown, not edited (see addMemo)
    };
    void changed();
    void load(const RecordTexts& record, const std::function<bool(std::string_view)>& cut = {});
    void showMemo(Bound& b, const std::string& stored, bool cut);
    void limitTyping(const Bound& b, int position, int added);
    void limit(const std::string& field, data::FieldType type, int width);

    std::vector<Bound> bound_;
    data::CodePage codePage_ = data::CodePage::Windows1252;
    bool loading_ = false;
    bool readOnly_ = false;
    bool modified_ = false;
};

} // namespace arrowsel::records
