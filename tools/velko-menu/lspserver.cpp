// The dispatcher on the transport; the exit status follows the protocol.
#include "lspserver.h"

#include "lspdispatcher.h"
#include "lsptransport.h"

#include <QCoreApplication>

int runLsp(const BuildOptions &build)
{
    LspDispatcher dispatcher;
    dispatcher.setBuildOptions(build);
    LspTransport transport;
    const auto finish = [&](int status) {
        transport.stopReading();
        QCoreApplication::exit(status);
    };
    QObject::connect(&transport, &LspTransport::received, &dispatcher,
                     qOverload<const LspFrame &>(&LspDispatcher::receive));
    QObject::connect(&transport, &LspTransport::inputClosed, &dispatcher,
                     [&] { finish(dispatcher.isShutDown() ? 0 : 1); });
    QObject::connect(&dispatcher, &LspDispatcher::send, &transport, [&](const QByteArray &body) {
        if (!transport.write(body))
            finish(1);
    });
    QObject::connect(&dispatcher, &LspDispatcher::exitRequested, &transport, finish);
    return QCoreApplication::exec();
}
