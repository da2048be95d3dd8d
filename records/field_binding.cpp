// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/field_binding.h"

#include "data/codepage.h"
#include "data/text.h"
#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace arrowsel::records {

namespace {

// Memos keep the line breaks other xBase programs write (CR LF); the editor works with LF.
std::string memoToStored(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return ui::fromQt(t);
}

QString memoFromStored(const std::string& text) {
    QString t = ui::toQt(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

// A text shown and not edited, made quick to lay out whatever it holds: no display line longer
// than this (a break at the last blank before it, or there), and each control character but the
// tab as its picture (U+2400 and on; DEL as U+2421).
constexpr int kShownLine = 1000;

QString shownOnlyText(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / kShownLine + 1);
    int lineStart = 0;
    int lastBlank = -1;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n') {
            out += c;
            lineStart = static_cast<int>(out.size());
            lastBlank = -1;
            continue;
        }
        if (u < 0x20 && u != u'\t') {
            out += QChar(static_cast<char16_t>(0x2400 + u));
        } else if (u == 0x7F) {
            out += QChar(static_cast<char16_t>(0x2421));
        } else {
            out += c;
        }
        if (u == u' ') {
            lastBlank = static_cast<int>(out.size()) - 1;
        }
        if (static_cast<int>(out.size()) - lineStart >= kShownLine) {
            if (lastBlank > lineStart) {
                out[lastBlank] = QLatin1Char('\n');
                lineStart = lastBlank + 1;
            } else {
                out += QLatin1Char('\n');
                lineStart = static_cast<int>(out.size());
            }
            lastBlank = -1;
        }
    }
    return out;
}

// Captions come marked with QT_TRANSLATE_NOOP in this context by the windows that bind them.
QString captionText(const char* caption) {
    return QCoreApplication::translate("arrowsel::records::FieldBinding", caption);
}

QString count(qsizetype n) {
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(n)); // grouped as 32,000
}

} // namespace

void FieldBinding::addLine(QLineEdit* edit, const char* field, const char* caption, bool upperCase) {
    bound_.push_back({field, caption, edit, nullptr});
    edit->setProperty("dataField", QString::fromLatin1(field));
    edit->setAccessibleName(captionText(caption));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this, edit, upperCase](const QString& text) {
        if (upperCase) {
            // One character for one, so nothing typed is cut off by the width limit; a character
            // whose capital the table's code page cannot store ("µ", whose capital is Greek)
            // stays as typed rather than becoming a character the save would refuse.
            QString upper = text;
            for (QChar& c : upper) {
                const QChar u = c.toUpper();
                std::string stored;
                if (u != c && data::encodeText(codePage_, QString(u).toStdString(), stored)) {
                    c = u;
                }
            }
            if (upper != text) {
                const int pos = edit->cursorPosition();
                edit->setText(upper);
                edit->setCursorPosition(pos);
            }
        }
        changed();
    });
}

void FieldBinding::addMemo(QPlainTextEdit* edit, const char* field, const char* caption, QLabel* note) {
    bound_.push_back({field, caption, nullptr, edit, note});
    edit->setProperty("dataField", QString::fromLatin1(field));
    edit->setAccessibleName(captionText(caption));
    edit->setAccessibleDescription(QCoreApplication::translate("arrowsel::records::FieldBinding", "Up to %1 characters")
                                       .arg(count(kCommentLimit)));
    edit->setTabChangesFocus(true);
    // Word wrap without breaking inside a word: laying out one long word is then linear, where
    // breaking it anywhere takes time that grows with its square.
    edit->setWordWrapMode(QTextOption::WordWrap);
    note->setWordWrap(true);
    note->hide();
    QObject::connect(edit->document(), &QTextDocument::contentsChange, edit,
                     [this, edit](int position, int, int added) {
                         for (const Bound& b : bound_) {
                             if (b.memo == edit) {
                                 limitTyping(b, position, added);
                             }
                         }
                     });
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
        if (!loading_) {
            changed();
        }
    });
}

void FieldBinding::limitTyping(const Bound& b, int position, int added) {
    if (loading_ || b.shownOnly) {
        return;
    }
    QTextDocument* doc = b.memo->document();
    const int excess = doc->characterCount() - 1 - kCommentLimit; // less the final paragraph mark
    if (excess <= 0 || added <= 0) {
        return;
    }
    QTextCursor cut(doc);
    cut.setPosition(position + added - std::min(excess, added));
    cut.setPosition(position + added, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    b.note->setText(
        QCoreApplication::translate("arrowsel::records::FieldBinding",
                                    "The comments hold at most %1 characters; what went past that was left out.")
            .arg(count(kCommentLimit)));
    b.note->show();
}

void FieldBinding::showMemo(Bound& b, const std::string& stored, bool cut) {
    QString text = memoFromStored(stored);
    b.shownOnly = cut || text.size() > kCommentLimit;
    if (!b.shownOnly) {
        b.memo->setPlainText(text);
        b.memo->setReadOnly(readOnly_);
        b.note->hide();
        return;
    }
    const QString why =
        cut ? QCoreApplication::translate(
                  "arrowsel::records::FieldBinding",
                  "These comments are longer than the program reads; only their first %1 characters are shown. They "
                  "are shown, not edited, and stay as stored.")
                  .arg(count(text.size()))
            : QCoreApplication::translate(
                  "arrowsel::records::FieldBinding",
                  "These comments hold %1 characters, more than the %2 this window edits. They are shown, not edited, "
                  "and stay as stored.")
                  .arg(count(text.size()), count(kCommentLimit));
    b.memo->setPlainText(shownOnlyText(text));
    b.memo->setReadOnly(true);
    b.note->setText(why);
    b.note->show();
}

void FieldBinding::changed() {
    if (!modified_) {
        modified_ = true;
        if (onFirstChange) {
            onFirstChange();
        }
    }
}

void FieldBinding::limit(const std::string& field, data::FieldType type, int width) {
    for (const Bound& b : bound_) {
        if (b.line != nullptr && b.field == field && type == data::FieldType::Character) {
            b.line->setMaxLength(width);
        }
    }
}

void FieldBinding::applyWidths(const data::TDbfTable& table) {
    codePage_ = table.codePage();
    for (const Bound& b : bound_) {
        if (const data::FieldDef* f = table.fieldDef(b.field)) {
            limit(b.field, f->type, f->width);
        }
    }
}

void FieldBinding::applyWidths(const std::vector<data::TDbfTable::FieldSpec>& fields, data::CodePage cp) {
    codePage_ = cp;
    for (const data::TDbfTable::FieldSpec& f : fields) {
        limit(f.name, f.type, f.width);
    }
}

void FieldBinding::applyWidths(const std::vector<SetupField>& fields, data::CodePage cp) {
    codePage_ = cp;
    for (const SetupField& f : fields) {
        if (f.kind == SetupFieldKind::Text) {
            limit(f.name, data::FieldType::Character, f.width);
        }
    }
}

void FieldBinding::load(const data::TDbfTable& table) {
    load([&table](std::string_view field) { return table.fieldText(field); });
}

void FieldBinding::load(const BookView& record) {
    load([&record](std::string_view field) { return record.text(field); },
         [&record](std::string_view field) { return record.textCut(field); });
}

void FieldBinding::load(const RecordTexts& record, const std::function<bool(std::string_view)>& cut) {
    // Every field is read before any edit changes, so a record that cannot be read leaves the
    // edits as they were.
    std::vector<std::string> texts;
    texts.reserve(bound_.size());
    for (const Bound& b : bound_) {
        texts.push_back(record(b.field));
    }
    loading_ = true;
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        Bound& b = bound_[i];
        const std::string& text = texts[i];
        if (b.line != nullptr) {
            b.line->setText(ui::toQt(data::trimTrailingSpaces(text)));
            b.line->setCursorPosition(0);
        } else {
            showMemo(b, text, cut && cut(b.field));
        }
    }
    loading_ = false;
    modified_ = false;
}

void FieldBinding::clear() {
    loading_ = true;
    for (Bound& b : bound_) {
        if (b.line != nullptr) {
            b.line->clear();
        } else {
            b.memo->clear();
            b.shownOnly = false;
            b.memo->setReadOnly(readOnly_);
            b.note->hide();
        }
    }
    loading_ = false;
    modified_ = false;
}

std::vector<FieldValue> FieldBinding::values() const {
    std::vector<FieldValue> out;
    for (const Bound& b : bound_) {
        if (b.shownOnly) {
            continue;
        }
        out.push_back(
            {b.field, b.line != nullptr ? b.line->text().toStdString() : memoToStored(b.memo->toPlainText())});
    }
    return out;
}

QString FieldBinding::text(const char* field) const {
    for (const Bound& b : bound_) {
        if (b.field == field) {
            return b.line != nullptr ? b.line->text() : b.memo->toPlainText();
        }
    }
    return {};
}

QString FieldBinding::refusal(const data::TDbfTable& table) const {
    return refusal(table.codePage());
}

QString FieldBinding::refusal(data::CodePage cp) const {
    std::vector<CustomerField> captions;
    for (const Bound& b : bound_) {
        captions.push_back({b.field.c_str(), b.caption});
    }
    const auto message = unstorableValue(cp, values(), captions);
    return message ? QString::fromStdString(*message) : QString();
}

void FieldBinding::store(data::TDbfTable& table) const {
    for (const FieldValue& v : values()) {
        table.setFieldText(v.name, v.text);
    }
}

void FieldBinding::setReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    for (const Bound& b : bound_) {
        if (b.line != nullptr) {
            b.line->setReadOnly(readOnly);
        } else {
            b.memo->setReadOnly(readOnly || b.shownOnly);
        }
    }
}

QWidget* FieldBinding::editor(const char* field) const {
    for (const Bound& b : bound_) {
        if (b.field == field) {
            return b.line != nullptr ? static_cast<QWidget*>(b.line) : static_cast<QWidget*>(b.memo);
        }
    }
    return nullptr;
}

} // namespace arrowsel::records
