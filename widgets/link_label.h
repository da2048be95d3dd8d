#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QUrl>

namespace arrowsel::widgets {

// A web address shown as a link. It opens (through the message seam's openUrl) when the mouse
// button is released over it, or on Enter or Space while it has the focus.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& text, const QUrl& url, QWidget* parent = nullptr);
    const QUrl& url() const { return url_; }

signals:
    void opened();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void open();
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
