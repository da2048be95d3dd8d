// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QUrl>

namespace arrowsel::widgets {

// A web address shown as a link, blue, red while the mouse button is down on it (on a dark
// desktop, the desktop's link colour and a light red). It opens
// (through the message seam's openUrl) when the mouse button is released over it, or on Space
// while it has the focus; Return is left to the window's default button. When no browser takes the
// address, an error box says so and gives the address.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, const QUrl& url, QWidget* parent = nullptr);
    const QUrl& url() const { return url_; }

signals:
    void opened();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void open();
    void setPressed(bool pressed);
    QUrl url_;
};

// A flat button that looks like a large label (the big "2009" in a page's corner).
class TLabelButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TLabelButton(const QString& caption, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace arrowsel::widgets
