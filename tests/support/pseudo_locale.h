// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QTranslator>
#include <utility>

namespace arrowsel::test {

// A made-up language: every text that passes through a translation function comes back between
// guillemets, so a text shown without them was never offered for translation. It keeps what it
// was asked for, context and text, so that a real translation can be checked for each.
class PseudoTranslator : public QTranslator {
public:
    using Asked = std::pair<QString, QString>; // context, English text

    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (source == nullptr || *source == '\0') {
            return {};
        }
        asked_.insert({QString::fromUtf8(context), QString::fromUtf8(source)});
        return QStringLiteral("\u00ab") + QString::fromUtf8(source) + QStringLiteral("\u00bb");
    }
    const QSet<Asked>& asked() const { return asked_; }

private:
    mutable QSet<Asked> asked_;
};

// The pseudo language for the life of the object.
class PseudoLocale {
public:
    PseudoLocale() { QCoreApplication::installTranslator(&translator_); }
    ~PseudoLocale() { QCoreApplication::removeTranslator(&translator_); }
    // The program's texts asked for so far, Qt's own (its classes' contexts) left out.
    QSet<PseudoTranslator::Asked> asked() const {
        QSet<PseudoTranslator::Asked> own;
        for (const auto& a : translator_.asked()) {
            const bool qts = a.first.size() > 1 && a.first[0] == QLatin1Char('Q') && a.first[1].isUpper();
            if (!qts) {
                own.insert(a);
            }
        }
        return own;
    }
    PseudoLocale(const PseudoLocale&) = delete;
    PseudoLocale& operator=(const PseudoLocale&) = delete;

private:
    PseudoTranslator translator_;
};

// What of `shown` did not come through a translation: the text with its marked parts, markup and
// entities taken out, when a letter is left; empty when all of it was translated (or it has no
// words: numbers, units' signs, punctuation).
inline QString untranslatedPart(QString shown) {
    static const QRegularExpression markup(QStringLiteral("<[^>]*>|&[a-zA-Z]+;|&#[0-9]+;"));
    static const QRegularExpression marked(QStringLiteral("\u00ab[^\u00ab\u00bb]*\u00bb"));
    shown.remove(markup);
    for (qsizetype length = -1; length != shown.size();) {
        length = shown.size();
        shown.remove(marked); // innermost first: a translated text may hold another as an argument
    }
    for (const QChar c : shown) {
        if (c.isLetter()) {
            return shown.simplified();
        }
    }
    return {};
}

} // namespace arrowsel::test
