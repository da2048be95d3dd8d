// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/book_wait.h"

#include "records/record_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace arrowsel::records {

namespace {

int waitsRunning = 0;

// Keeps the user's input from every control but the wait's own while the book works, and keeps
// windows from being closed under the waiting command.
class InputHold : public QObject {
public:
    explicit InputHold(const QPointer<QWidget>& panel) : panel_(panel) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }
    Q_DISABLE_COPY_MOVE(InputHold)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::Close:
            break;
        default:
            return false;
        }
        auto* w = qobject_cast<QWidget*>(watched);
        if (w == nullptr || (panel_ && (w == panel_ || panel_->isAncestorOf(w)))) {
            return false;
        }
        if (event->type() == QEvent::Close) {
            event->ignore();
        }
        return true;
    }

private:
    QPointer<QWidget> panel_;
};

QWidget* buildPanel(QWidget* parent, const QString& waitingFor, const std::function<void()>& onCancel) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("BookWait"));
    auto* row = new QHBoxLayout(panel);
    auto* line = new QLabel(waitingFor, panel);
    line->setObjectName(QStringLiteral("BookWaitLine"));
    line->setWordWrap(true);
    line->setAccessibleName(QCoreApplication::translate("arrowsel::records::BookWait", "Waiting for"));
    auto* cancel = new QPushButton(QCoreApplication::translate("arrowsel::records::BookWait", "Cancel"), panel);
    cancel->setObjectName(QStringLiteral("BookWaitCancel"));
    cancel->setAccessibleDescription(
        QCoreApplication::translate("arrowsel::records::BookWait", "Stop waiting; what you typed stays on the window"));
    QObject::connect(cancel, &QPushButton::clicked, panel, onCancel);
    row->addWidget(line, 1);
    row->addWidget(cancel);
    return panel;
}

} // namespace

bool bookWaitRunning() {
    return waitsRunning > 0;
}

bool BookWait::run(QWidget* window, const QString& waitingFor) const {
    // Most answers come at once: a short block costs the window nothing it would notice.
    if (done(std::chrono::milliseconds(30))) {
        return true;
    }
    ++waitsRunning;
    QEventLoop loop;
    bool cancelled = false;
    const auto onCancel = [&] {
        cancelled = true;
        if (cancel) {
            cancel();
        }
        loop.quit();
    };
    auto* recordWindow = qobject_cast<RecordWindow*>(window);
    if (recordWindow != nullptr && !recordWindow->isVisible()) {
        // Still being made (its book opens first): the wait shows over the window that opens it.
        window = recordWindow->parentWidget();
        recordWindow = nullptr;
    }
    // The panel exists (hidden) from the start, so that the hold lets its Cancel through.
    QPointer<QWidget> panel;
    QPointer<QDialog> own;
    if (recordWindow != nullptr) {
        panel = buildPanel(recordWindow, waitingFor, onCancel);
        recordWindow->beginBookWait(panel);
    } else {
        own = new QDialog(window);
        own->setObjectName(QStringLiteral("BookWaitWindow"));
        own->setWindowTitle(QCoreApplication::translate("arrowsel::records::BookWait", "Customer book"));
        auto* layout = new QVBoxLayout(own);
        panel = buildPanel(own, waitingFor, onCancel);
        layout->addWidget(panel);
        // Closing this small window (its title bar, Escape) means stop waiting, as Cancel does.
        QObject::connect(own.data(), &QDialog::rejected, &loop, onCancel);
        panel = own.data();
    }
    InputHold hold(panel);
    QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));

    QTimer showLine;
    showLine.setSingleShot(true);
    QObject::connect(&showLine, &QTimer::timeout, &loop, [&] {
        if (own) {
            own->show();
        } else if (panel) {
            panel->show();
        }
        // From the keyboard too: Space or Enter on it stops the wait.
        if (auto* stop = panel ? panel->findChild<QPushButton*>(QStringLiteral("BookWaitCancel")) : nullptr) {
            stop->setFocus();
        }
    });
    showLine.start(kLineAfter - std::chrono::milliseconds(30));
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done(std::chrono::milliseconds(0))) {
            loop.quit();
        }
    });
    poll.start(5);
    if (!done(std::chrono::milliseconds(0))) {
        loop.exec();
    }

    QApplication::restoreOverrideCursor();
    if (recordWindow != nullptr) {
        recordWindow->endBookWait();
    }
    delete panel.data();
    --waitsRunning;
    return !cancelled || done(std::chrono::milliseconds(0));
}

} // namespace arrowsel::records
