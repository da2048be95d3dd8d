// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/field_binding.h"

#include "data/codepage.h"
#include "data/text.h"
#include "ui/qt_text.h"

#include <QLineEdit>
#include <QPlainTextEdit>

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

} // namespace

void FieldBinding::addLine(QLineEdit* edit, const char* field, const char* caption, bool upperCase) {
    bound_.push_back({field, caption, edit, nullptr});
    edit->setProperty("dataField", QString::fromLatin1(field));
    edit->setAccessibleName(QString::fromLatin1(caption));
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

void FieldBinding::addMemo(QPlainTextEdit* edit, const char* field, const char* caption) {
    bound_.push_back({field, caption, nullptr, edit});
    edit->setProperty("dataField", QString::fromLatin1(field));
    edit->setAccessibleName(QString::fromLatin1(caption));
    edit->setTabChangesFocus(true);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this] {
        if (!loading_) {
            changed();
        }
    });
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

void FieldBinding::applyWidths(const CustomerBook& book) {
    applyWidths(book.layout(), book.codePage());
}

void FieldBinding::applyWidths(const std::vector<data::TDbfTable::FieldSpec>& fields, data::CodePage cp) {
    codePage_ = cp;
    for (const data::TDbfTable::FieldSpec& f : fields) {
        limit(f.name, f.type, f.width);
    }
}

void FieldBinding::load(const data::TDbfTable& table) {
    load([&table](std::string_view field) { return table.fieldText(field); });
}

void FieldBinding::load(const CustomerBook& book) {
    load([&book](std::string_view field) { return book.fieldText(field); });
}

void FieldBinding::load(const RecordTexts& record) {
    // Every field is read before any edit changes, so a record that cannot be read leaves the
    // edits as they were.
    std::vector<std::string> texts;
    texts.reserve(bound_.size());
    for (const Bound& b : bound_) {
        texts.push_back(record(b.field));
    }
    loading_ = true;
    for (std::size_t i = 0; i < bound_.size(); ++i) {
        const Bound& b = bound_[i];
        const std::string& text = texts[i];
        if (b.line != nullptr) {
            b.line->setText(ui::toQt(data::trimTrailingSpaces(text)));
            b.line->setCursorPosition(0);
        } else {
            b.memo->setPlainText(memoFromStored(text));
        }
    }
    loading_ = false;
    modified_ = false;
}

void FieldBinding::clear() {
    loading_ = true;
    for (const Bound& b : bound_) {
        if (b.line != nullptr) {
            b.line->clear();
        } else {
            b.memo->clear();
        }
    }
    loading_ = false;
    modified_ = false;
}

std::vector<FieldValue> FieldBinding::values() const {
    std::vector<FieldValue> out;
    for (const Bound& b : bound_) {
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
    for (const Bound& b : bound_) {
        if (b.line != nullptr) {
            b.line->setReadOnly(readOnly);
        } else {
            b.memo->setReadOnly(readOnly);
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
