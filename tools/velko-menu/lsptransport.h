// The language server's standard input and output: the frames of what
// arrives, whatever its pieces, and each outgoing body framed and flushed at
// once. It knows nothing of JSON.
#pragma once

#include "lspmessagereader.h"

#include <QObject>
#include <QSocketNotifier>

class LspTransport final : public QObject
{
    Q_OBJECT

public:
    LspTransport();

    // False when the client is gone.
    bool write(const QByteArray &body);
    void stopReading() { m_notifier.setEnabled(false); }

signals:
    void received(const LspFrame &frame);
    void inputClosed();

private:
    void read();

    LspMessageReader m_reader;
    QSocketNotifier m_notifier {0, QSocketNotifier::Read}; // standard input
    QByteArray m_chunk = QByteArray(64 * 1024, Qt::Uninitialized);
};
