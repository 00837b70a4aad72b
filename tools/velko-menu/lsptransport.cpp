// Standard input is watched by the event loop, so that timers run between reads.
#include "lsptransport.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

LspTransport::LspTransport()
{
    // A client gone away shows as a failed write, not as a signal that kills us.
    std::signal(SIGPIPE, SIG_IGN);
    connect(&m_notifier, &QSocketNotifier::activated, this, &LspTransport::read);
}

bool LspTransport::write(const QByteArray &body)
{
    const QByteArray bytes = frameMessage(body);
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
            && std::fflush(stdout) == 0;
}

void LspTransport::read()
{
    const ssize_t count = ::read(STDIN_FILENO, m_chunk.data(), size_t(m_chunk.size()));
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        emit inputClosed();
        return;
    }
    for (const LspFrame &frame : m_reader.feed(QByteArrayView(m_chunk.constData(), count)))
        emit received(frame);
}
