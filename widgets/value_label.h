// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>

namespace arrowsel::widgets {

// A label that shows a value: a result, a shaft's figure, a field of a record. Screen readers read
// it as the value it shows at the moment they ask (its text, verbatim: an ampersand in a name is
// kept), with its heading as the description. A heading label on screen is made its labelled-by
// relation. Do not give it an accessible name of its own: that would hide the value again.
class TValueLabel : public QLabel {
    Q_OBJECT
public:
    explicit TValueLabel(QString heading, QWidget* parent = nullptr);

    const QString& heading() const { return heading_; }
    // `label` is the caption shown beside the value; it becomes the value's labelled-by relation.
    void setHeadingLabel(QLabel* label);

private:
    QString heading_;
};

} // namespace arrowsel::widgets
