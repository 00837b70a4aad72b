// Standard input is watched by the event loop, so that the debounce timer
// runs between reads; every message is flushed as soon as it is written.
#include "lspserver.h"

#include "lspmessagereader.h"
#include "lspsession.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr qsizetype ReadChunk = 64 * 1024;

bool writeOut(const QByteArray &bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
            && std::fflush(stdout) == 0;
}

} // namespace

int runLsp(const BuildOptions &build)
{
    // A client gone away shows as a failed write, not as a signal that kills us.
    std::signal(SIGPIPE, SIG_IGN);

    LspSession session;
    session.setBuildOptions(build);
    LspMessageReader reader;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    const auto finish = [&](int status) {
        notifier.setEnabled(false);
        QCoreApplication::exit(status);
    };
    QObject::connect(&session, &LspSession::send, &session, [&](const QByteArray &body) {
        if (!writeOut(frameMessage(body)))
            finish(1);
    });
    QObject::connect(&session, &LspSession::exitRequested, &session, finish);

    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    QObject::connect(&notifier, &QSocketNotifier::activated, &session, [&] {
        const ssize_t count = ::read(STDIN_FILENO, chunk.data(), size_t(chunk.size()));
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (count <= 0) {
            finish(session.isShutDown() ? 0 : 1);
            return;
        }
        for (const LspFrame &frame : reader.feed(QByteArrayView(chunk.constData(), count))) {
            session.receive(frame);
            if (session.hasExited())
                break;
        }
    });
    return QCoreApplication::exec();
}
