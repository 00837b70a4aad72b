// Fuzzes the language server's message reader and session with any bytes:
// whatever arrives, each reply and notification must be a JSON-RPC object,
// each diagnostic and hover range ordered, and the reader must hold no more
// than one body and one header.
//
// Input: the first byte sets the size of the pieces the rest arrives in
// (0: all at once), the rest is the byte stream from the client.
#include "fuzzapp.h"
#include "fuzzinput.h"

#include "lspdispatcher.h"
#include "lspmessagereader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace VelkoMenuView;

namespace {

constexpr qsizetype MaxBody = 4096;

bool ordered(const QJsonObject &range)
{
    const QJsonObject start = range.value(QLatin1String("start")).toObject();
    const QJsonObject end = range.value(QLatin1String("end")).toObject();
    const auto key = [](const QJsonObject &position) {
        return qMakePair(position.value(QLatin1String("line")).toInt(-1),
                         position.value(QLatin1String("character")).toInt(-1));
    };
    return key(start).first >= 0 && key(start).second >= 0 && key(start) <= key(end);
}

void checkMessage(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonObject message = QJsonDocument::fromJson(body, &error).object();
    FUZZ_CHECK(error.error == QJsonParseError::NoError);
    FUZZ_CHECK(message.value(QLatin1String("jsonrpc")) == QLatin1String("2.0"));
    const QJsonValue params = message.value(QLatin1String("params"));
    for (const QJsonValue diagnostic : params[QLatin1String("diagnostics")].toArray())
        FUZZ_CHECK(ordered(diagnostic[QLatin1String("range")].toObject()));
    const QJsonValue result = message.value(QLatin1String("result"));
    if (result.isObject() && result.toObject().contains(QLatin1String("range")))
        FUZZ_CHECK(ordered(result[QLatin1String("range")].toObject()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool started = (startFuzzApplication(), true);
    Q_UNUSED(started);
    if (size == 0)
        return 0;

    LspDispatcher session;
    session.setFixedTime(QTime(12, 0));
    QObject::connect(&session, &LspDispatcher::send, &session, &checkMessage);
    LspMessageReader reader(MaxBody);

    const QByteArrayView stream(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const qsizetype piece = data[0] == 0 ? qMax<qsizetype>(stream.size(), 1) : data[0];
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        const QByteArrayView bytes = stream.sliced(at, qMin(piece, stream.size() - at));
        for (const LspFrame &frame : reader.feed(bytes))
            session.receive(frame);
        FUZZ_CHECK(reader.bufferedBytes() <= MaxBody + LspMessageReader::MaxHeader + piece);
    }
    session.publishPending();
    return 0;
}
