// The transport: frames read from standard input go to the dispatcher, and
// its messages are framed and flushed to standard output as they come.
// Standard input is watched by the event loop, so that the debounce timer
// runs between reads.
#include "lspserver.h"

#include "lspdispatcher.h"
#include "lspmessagereader.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace VelkoMenuView {

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

    LspDispatcher dispatcher;
    dispatcher.setBuildOptions(build);
    LspMessageReader reader;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    const auto finish = [&](int status) {
        notifier.setEnabled(false);
        QCoreApplication::exit(status);
    };
    QObject::connect(&dispatcher, &LspDispatcher::send, &dispatcher, [&](const QByteArray &body) {
        if (!writeOut(frameMessage(body)))
            finish(1);
    });
    QObject::connect(&dispatcher, &LspDispatcher::exitRequested, &dispatcher, finish);

    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    QObject::connect(&notifier, &QSocketNotifier::activated, &dispatcher, [&] {
        const ssize_t count = ::read(STDIN_FILENO, chunk.data(), size_t(chunk.size()));
        if (count < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (count <= 0) {
            finish(dispatcher.isShutDown() ? 0 : 1);
            return;
        }
        // Frames after "exit" are dropped by the dispatcher.
        for (const LspFrame &frame : reader.feed(QByteArrayView(chunk.constData(), count)))
            dispatcher.receive(frame);
    });
    return QCoreApplication::exec();
}

} // namespace VelkoMenuView
