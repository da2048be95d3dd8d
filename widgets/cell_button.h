// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

namespace arrowsel::widgets {

// One button of a result grid: a caption on a coloured face. The caption can be kept while not
// shown (ShowCaption), and Enabled is a plain flag that decides whether the button reacts to
// clicks and keys without repainting it: a weight that stops being clickable must not flicker or
// grey out. The hint is the tooltip and, for screen readers, the description; the accessible name
// is the caption (or, while blank, the name given with setAccessibleFallback).
class TCellButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool showCaption READ showCaption WRITE setShowCaption)

public:
    explicit TCellButton(QWidget* parent = nullptr);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    const QColor& color() const { return color_; }
    void setColor(const QColor& color);
    bool showCaption() const { return showCaption_; }
    void setShowCaption(bool show);
    // Enabled: a plain flag; the face is not repainted.
    void setCellEnabled(bool enabled);
    bool cellEnabled() const { return isEnabled(); }
    QString hint() const { return toolTip(); }
    void setHint(const QString& hint);
    // What the face's colour stands for, told to screen readers after the hint (empty: nothing).
    void setColorMeaning(const QString& meaning);
    // What screen readers call the button while it shows no caption, e.g. "Size, row 3".
    void setAccessibleFallback(const QString& name);
    // The pointing hand over the button while it is enabled; the inherited cursor while not.
    void setPointingCursor(bool pointing);

    QSize sizeHint() const override;

signals:
    // Once per entry of the pointer. A modal box opened meanwhile makes Qt send a leave, and an
    // enter when it closes, while the pointer never moved: that is not a new entry.
    void mouseEntered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void updateAccessibleName();
    void updateAccessibleDescription();
    void updateCursor();
    bool pointerOver() const;

    QString caption_;
    QColor color_;
    QString fallbackName_;
    QString colorMeaning_;
    bool showCaption_ = true;
    bool pointing_ = false;
    bool pointerInside_ = false;
};

} // namespace arrowsel::widgets
