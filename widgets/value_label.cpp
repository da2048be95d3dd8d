// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/value_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextDocument>
#include <utility>

namespace arrowsel::widgets {

namespace {

class ValueLabelAccessible : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(TValueLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        const auto* label = static_cast<const TValueLabel*>(widget());
        switch (t) {
        case QAccessible::Name:
        case QAccessible::Value:
            return shownText(*label);
        case QAccessible::Description:
            return label->heading();
        default:
            return QAccessibleWidget::text(t);
        }
    }

private:
    // What the label shows, without markup; Qt's own label interface would also drop ampersands.
    static QString shownText(const QLabel& label) {
        QString text = label.text();
        if (label.textFormat() == Qt::RichText || (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
            QTextDocument doc;
            doc.setHtml(text);
            return doc.toPlainText();
        }
        return text;
    }
};

QAccessibleInterface* valueLabelFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TValueLabel::staticMetaObject.className())) {
        if (auto* label = qobject_cast<TValueLabel*>(object)) {
            return new ValueLabelAccessible(label);
        }
    }
    return nullptr;
}

} // namespace

TValueLabel::TValueLabel(QString heading, QWidget* parent) : QLabel(parent), heading_(std::move(heading)) {
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    (void)installed;
}

void TValueLabel::setHeadingLabel(QLabel* label) {
    // QAccessibleWidget reports a label whose buddy is this widget as its labelled-by relation.
    label->setBuddy(this);
}

} // namespace arrowsel::widgets
