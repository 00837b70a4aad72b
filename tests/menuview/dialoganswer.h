// Answers the next modal dialog from the test: once it is up, the action runs
// on it (fill in fields, then accept or reject). Polls, so it works whether
// the dialog opens at once or after some events.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>

class DialogAnswer : public QObject
{
public:
    explicit DialogAnswer(std::function<void(QDialog *)> action) : m_action(std::move(action))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            m_seen = dialog;
            m_action(dialog);
        });
        m_timer.start();
    }

    // The dialog that was answered, while it still exists.
    QDialog *seen() const { return m_seen; }
    bool answered() const { return !m_timer.isActive(); }

private:
    std::function<void(QDialog *)> m_action;
    QTimer m_timer;
    QPointer<QDialog> m_seen;
};
