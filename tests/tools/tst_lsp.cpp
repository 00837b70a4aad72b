// velko-menu lsp: framing and the protocol's corners against the reader and
// the session in-process, edits by UTF-16 ranges, debounce and closing, the
// hover screen against `render`, and one real server process whose
// diagnostics must be those of `check`.
#include "lspdispatcher.h"
#include "lsphover.h"
#include "lspmessagereader.h"
#include "menusourcegenerator.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace VelkoMenuView;

namespace {

const QString Uri = u"file:///work/menu.c"_s;
const QString Tool = QStringLiteral(VELKO_MENU_TOOL);

QJsonObject message(const QString &method, const QJsonValue &params,
                    const QJsonValue &id = QJsonValue::Undefined)
{
    QJsonObject object {{u"jsonrpc"_s, u"2.0"_s}, {u"method"_s, method}};
    if (!params.isUndefined())
        object.insert(u"params"_s, params);
    if (!id.isUndefined())
        object.insert(u"id"_s, id);
    return object;
}

QJsonObject textDocument(const QString &uri, const QJsonObject &more = {})
{
    QJsonObject params = more;
    params.insert(u"textDocument"_s, QJsonObject {{u"uri"_s, uri}});
    return params;
}

QJsonObject openParams(const QString &uri, const QString &text)
{
    return {{u"textDocument"_s,
             QJsonObject {{u"uri"_s, uri},
                          {u"languageId"_s, u"c"_s},
                          {u"version"_s, 1},
                          {u"text"_s, text}}}};
}

QJsonObject position(int line, int character)
{
    return {{u"line"_s, line}, {u"character"_s, character}};
}

QJsonObject change(int line1, int char1, int line2, int char2, const QString &text)
{
    return {{u"range"_s,
             QJsonObject {{u"start"_s, position(line1, char1)},
                          {u"end"_s, position(line2, char2)}}},
            {u"text"_s, text}};
}

QString rangeText(const QJsonObject &range)
{
    const QJsonObject start = range[u"start"_s].toObject();
    const QJsonObject end = range[u"end"_s].toObject();
    return u"%1:%2-%3:%4"_s.arg(start[u"line"_s].toInt())
            .arg(start[u"character"_s].toInt())
            .arg(end[u"line"_s].toInt())
            .arg(end[u"character"_s].toInt());
}

// A client in the same process; every message the server sends must be JSON-RPC.
struct Client
{
    LspDispatcher session;
    QList<QJsonObject> received;
    int exitStatus = -1;
    bool faulty = false;
    int nextId = 100;

    Client()
    {
        QObject::connect(&session, &LspDispatcher::send, &session, [this](const QByteArray &body) {
            const QJsonObject object = QJsonDocument::fromJson(body).object();
            faulty = faulty || object[u"jsonrpc"_s] != u"2.0"_s;
            received.append(object);
        });
        QObject::connect(&session, &LspDispatcher::exitRequested, &session,
                         [this](int status) { exitStatus = status; });
        session.setFixedTime(QTime(12, 30));
    }
    void send(const QJsonObject &object) { session.receive(QJsonDocument(object).toJson()); }
    QJsonValue request(const QString &method, const QJsonObject &params)
    {
        const int id = nextId++;
        send(message(method, params, id));
        for (const QJsonObject &reply : std::as_const(received)) {
            if (reply[u"id"_s] == id)
                return reply.contains(u"error"_s) ? reply[u"error"_s] : reply[u"result"_s];
        }
        return QJsonValue::Undefined;
    }
    void initialize()
    {
        request(u"initialize"_s, {{u"capabilities"_s, QJsonObject()}});
        send(message(u"initialized"_s, QJsonObject()));
    }
    QList<QJsonObject> publications() const
    {
        QList<QJsonObject> found;
        for (const QJsonObject &object : received) {
            if (object[u"method"_s] == u"textDocument/publishDiagnostics"_s)
                found.append(object[u"params"_s].toObject());
        }
        return found;
    }
};

// What a message stream produced, one word per message: "<id>:<error code>"
// or "<id>:result" for a reply, the method for a notification.
QStringList summary(const QList<QJsonObject> &messages)
{
    QStringList words;
    for (const QJsonObject &object : messages) {
        const QString id
                = object[u"id"_s].isNull() ? u"null"_s : QString::number(object[u"id"_s].toInt());
        if (object.contains(u"method"_s))
            words << object[u"method"_s].toString();
        else if (object.contains(u"error"_s))
            words << id + QLatin1Char(':') + QString::number(object[u"error"_s][u"code"_s].toInt());
        else
            words << id + u":result"_s;
    }
    return words;
}

QString sourceDir()
{
    return qEnvironmentVariable("VELKO_SOURCE_DIR");
}

// `render --ascii` output ('#' lit, one line per pixel row), two rows per line.
QString foldArt(const QString &ascii)
{
    const QStringList rows = ascii.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString art;
    for (qsizetype y = 0; y < rows.size(); y += 2) {
        for (qsizetype x = 0; x < rows[y].size(); ++x) {
            const bool upper = rows[y][x] == u'#';
            const bool lower = y + 1 < rows.size() && rows[y + 1][x] == u'#';
            art += QString::fromUtf8(upper ? (lower ? "█" : "▀") : (lower ? "▄" : " "));
        }
        art += u'\n';
    }
    return art;
}

QByteArray runTool(const QStringList &arguments)
{
    QProcess process;
    process.start(Tool, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    return process.readAllStandardOutput();
}

} // namespace

class tst_Lsp : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void oversizeInPlainUnits_data();
    void oversizeInPlainUnits();
    void protocol_data();
    void protocol();
    void edits_data();
    void edits();
    void debounce();
    void headersChangeIncluders();
    void closeClears();
    void hover_data();
    void hover();
    void serverMatchesCheck();
    void editedDraftsReadAsOpened_data();
    void editedDraftsReadAsOpened();
};

void tst_Lsp::framing_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("chunk"); // bytes per feed; 0: all at once
    QTest::addColumn<QStringList>("expected");

    const QByteArray a = frameMessage("{\"a\":1}");
    const QByteArray b = frameMessage("{\"b\":2}");
    const QStringList both {u"{\"a\":1}"_s, u"{\"b\":2}"_s};
    QTest::addRow("joined") << a + b << 0 << both;
    QTest::addRow("byte by byte") << a + b << 1 << both;
    QTest::addRow("split in the header") << a + b << 9 << both;
    QTest::addRow("lower case, Content-Type, stray line ends")
            << "\r\n\ncontent-length: 7\r\nContent-Type: application/vscode-jsonrpc; "
               "charset=utf-8\r\n\r\n{\"a\":1}\n"
                    + b
            << 0 << both;
    QTest::addRow("missing Content-Length")
            << "Content-Type: x\r\n\r\n{\"a\":1}" + b << 0 << QStringList {u"malformed"_s, both[1]};
    for (const char *value : {"-7", "7 7", "abc", "", "99999999999999999999"})
        QTest::addRow("Content-Length '%s'", value)
                << "Content-Length: " + QByteArray(value) + "\r\n\r\n{\"a\":1}" + b << 0
                << QStringList {u"malformed"_s, both[1]};
    // Characters counted instead of bytes: the rest of the body runs into the next header.
    QTest::addRow("Content-Length too small") << "Content-Length: 10\r\n\r\n{\"a\":\"щщщ\"}"
                    + b << 3 << QStringList {u"{\"a\":\"щщ"_s, u"malformed"_s, both[1]};
    QTest::addRow("header without end")
            << QByteArray(20000, 'x') + b << 0 << QStringList {u"malformed"_s, both[1]};
    QTest::addRow("oversize") << "Content-Length: 20000\r\n\r\n" + QByteArray(20000, '{') + b << 7
                              << QStringList {u"oversize"_s, both[1]};
    QTest::addRow("empty body") << QByteArray("Content-Length: 0\r\n\r\n") + b << 0
                                << QStringList {QString(), both[1]};
}

void tst_Lsp::framing()
{
    QFETCH(QByteArray, input);
    QFETCH(int, chunk);
    QFETCH(QStringList, expected);

    LspMessageReader reader(64);
    QStringList frames;
    const qsizetype step = chunk > 0 ? chunk : input.size();
    for (qsizetype at = 0; at < input.size(); at += step) {
        for (const LspFrame &frame :
             reader.feed(QByteArrayView(input).sliced(at).first(qMin(step, input.size() - at)))) {
            frames << (frame.kind == LspFrame::Kind::Message ? QString::fromUtf8(frame.body)
                               : frame.kind == LspFrame::Kind::Oversize ? u"oversize"_s
                                                                        : u"malformed"_s);
        }
        // No more than a body within the limit and a header, whatever arrives.
        QVERIFY(reader.bufferedBytes() <= 64 + LspMessageReader::MaxHeader);
    }
    QCOMPARE(frames, expected);
    QCOMPARE(reader.bufferedBytes(), 0);
}

void tst_Lsp::oversizeInPlainUnits_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<QByteArray>("length");
    QTest::addColumn<QString>("error");

    QTest::addRow("gibibytes") << qint64(64) * 1024 * 1024 << QByteArray("10003415040")
                               << "a message of 9,540 MiB, over the limit of 64 MiB: skipped";
    QTest::addRow("fractions") << qint64(1024) * 1024 << QByteArray("1572864")
                               << "a message of 1.5 MiB, over the limit of 1 MiB: skipped";
}

void tst_Lsp::oversizeInPlainUnits()
{
    QFETCH(qint64, limit);
    QFETCH(QByteArray, length);
    LspMessageReader reader(limit);
    const QList<LspFrame> frames = reader.feed("Content-Length: " + length + "\r\n\r\n");
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].kind, LspFrame::Kind::Oversize);
    QTEST(frames[0].error, "error");
}

void tst_Lsp::protocol_data()
{
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("exitStatus"); // -1: no exit

    const QString init = QString::fromUtf8(
            R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    const QString shutdown = QString::fromUtf8(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
    const QString exit = QString::fromUtf8(R"({"jsonrpc":"2.0","method":"exit"})");
    const QString hover = QString::fromUtf8(
            R"({"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":{"textDocument":)"
            R"({"uri":"file:///x.c"},"position":{"line":0,"character":0}}})");
    const QString open = QString::fromUtf8(
            R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":)"
            R"({"uri":"file:///x.c","version":1,"text":"int x;\n"}}})");

    QTest::addRow("request before initialize")
            << QStringList {hover} << QStringList {"3:-32002"} << -1;
    QTest::addRow("notification before initialize")
            << QStringList {open, init, hover} << QStringList {"1:result", "3:-32602"} << -1;
    QTest::addRow("shutdown and exit")
            << QStringList {init, shutdown, exit} << QStringList {"1:result", "2:result"} << 0;
    // Emacs eglot 1.9 and older Sublime and Atom clients send "params": null.
    QTest::addRow("shutdown and exit with null params")
            << QStringList {init, R"({"jsonrpc":"2.0","id":2,"method":"shutdown","params":null})",
                            R"({"jsonrpc":"2.0","method":"exit","params":null})"}
            << QStringList {"1:result", "2:result"} << 0;
    QTest::addRow("JSON that is no object")
            << QStringList {"null", "[1]", " 1 ", "\"x\"", "true", "nul", "1 2", ""}
            << QStringList {"null:-32600", "null:-32600", "null:-32600", "null:-32600",
                            "null:-32600", "null:-32700", "null:-32700", "null:-32700"}
            << -1;
    QTest::addRow("exit without shutdown")
            << QStringList {init, exit} << QStringList {"1:result"} << 1;
    QTest::addRow("exit before initialize") << QStringList {exit, init} << QStringList {} << 1;
    QTest::addRow("request after shutdown")
            << QStringList {init, shutdown, hover}
            << QStringList {"1:result", "2:result", "3:-32600"} << -1;
    QTest::addRow("initialize twice")
            << QStringList {init, init} << QStringList {"1:result", "1:-32600"} << -1;
    QTest::addRow("unknown request, notification and $/ request")
            << QStringList {init, R"({"jsonrpc":"2.0","id":4,"method":"textDocument/rename"})",
                            R"({"jsonrpc":"2.0","method":"workspace/didChangeFoo","params":{}})",
                            R"({"jsonrpc":"2.0","id":5,"method":"$/foo"})"}
            << QStringList {"1:result", "4:-32601", "5:-32601"} << -1;
    QTest::addRow("cancelling nothing")
            << QStringList {init,
                            R"({"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":9}})"}
            << QStringList {"1:result"} << -1;
    QTest::addRow("not JSON, not an object, no version, bad id, bad params")
            << QStringList {"{\"jsonrpc\":", "[1,2]", R"({"id":6,"method":"shutdown"})",
                            R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})",
                            R"({"jsonrpc":"2.0","id":7,"method":"initialize","params":"x"})"}
            << QStringList {"null:-32700", "null:-32600", "6:-32600", "null:-32600", "7:-32600"}
            << -1;
    QTest::addRow("hover with bad params, unopened, past the end")
            << QStringList {init, open,
                            R"({"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///x.c"},"position":{"line":-1,"character":0}}})",
                            R"({"jsonrpc":"2.0","id":9,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///y.c"},"position":{"line":0,"character":0}}})",
                            R"({"jsonrpc":"2.0","id":10,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///x.c"},"position":{"line":99,"character":99}}})"}
            << QStringList {"1:result", "textDocument/publishDiagnostics", "8:-32602", "9:-32602",
                            "10:result"}
            << -1;
    // Every method's params go through one table: params it cannot use are
    // answered alike, and those of methods that need none are not looked at.
    QTest::addRow("params of the wrong shape")
            << QStringList {R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":[]})",
                            init,
                            R"({"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":[]})",
                            R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":[]})",
                            R"({"jsonrpc":"2.0","method":"textDocument/didClose","params":{}})",
                            R"({"jsonrpc":"2.0","id":2,"method":"shutdown","params":[]})",
                            R"({"jsonrpc":"2.0","method":"exit","params":{}})"}
            << QStringList {"1:-32602",          "1:result",          "3:-32602",
                            "window/logMessage", "window/logMessage", "2:result"}
            << 0;
    QTest::addRow("change of an unopened document, a client's response")
            << QStringList {init,
                            R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///y.c"},"contentChanges":[]}})",
                            R"({"jsonrpc":"2.0","id":11,"result":null})"}
            << QStringList {"1:result", "window/logMessage"} << -1;
}

void tst_Lsp::protocol()
{
    QFETCH(QStringList, messages);
    QFETCH(QStringList, expected);
    QFETCH(int, exitStatus);

    Client client;
    for (const QString &text : messages)
        client.session.receive(text.toUtf8());
    QCOMPARE(summary(client.received), expected);
    QCOMPARE(client.exitStatus, exitStatus);
    QVERIFY(!client.faulty);
}

void tst_Lsp::edits_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QJsonArray>("changes");
    QTest::addColumn<QString>("expected"); // the text after the changes
    QTest::addColumn<QStringList>("ranges"); // of the diagnostics published

    const QString menu = QStringLiteral("BEGIN_MENU(M)\n"
                                        "    MENU_ITEM(\"Тест 😀 реле\", h)\n"
                                        "END_MENU(M, \"Сервис\")\n");
    // The emoji is a missing glyph: line 1, characters 20 and 21 (a surrogate pair).
    const QStringList emoji {u"1:20-1:22"_s};
    QTest::addRow("Cyrillic after the emoji")
            << menu << QJsonArray {change(1, 23, 1, 27, u"пуск"_s)}
            << QString(menu).replace(u"реле"_s, u"пуск"_s) << emoji;
    QTest::addRow("Ω inserted after the emoji")
            << menu << QJsonArray {change(1, 22, 1, 22, u"Ω"_s)}
            << QString(menu).replace(u"😀"_s, u"😀Ω"_s) << QStringList {emoji[0], u"1:22-1:23"_s};
    QTest::addRow("emoji removed, title broken over two changes")
            << menu << QJsonArray {change(1, 20, 1, 23, QString()), change(2, 0, 2, 3, u"X"_s)}
            << QString(menu).replace(u"😀 "_s, QString()).replace(u"END_MENU"_s, u"X_MENU"_s)
            << QStringList {u"0:0-0:10"_s};
    QTest::addRow("full text, then a range in it")
            << menu
            << QJsonArray {QJsonObject {{u"text"_s, u"ab\ncd"_s}}, change(1, 1, 1, 1, u"щ"_s)}
            << u"ab\ncщd"_s << QStringList();
    QTest::addRow("past the line's end, past the last line")
            << u"ab\r\ncd"_s
            << QJsonArray {change(0, 50, 0, 50, u"!"_s), change(9, 0, 9, 9, u"?"_s)}
            << u"ab!\r\ncd?"_s << QStringList();
    QTest::addRow("range ending before it starts: nothing changes")
            << u"abc"_s << QJsonArray {change(0, 0, 0, 1, u"x"_s), change(0, 2, 0, 1, u"y"_s)}
            << u"abc"_s << QStringList();
    // Half a pair is no character the font could have; the title that quotes
    // it must still go out as valid JSON.
    // A range that starts or ends between the halves of a surrogate pair
    // starts or ends before the pair: no character is ever split.
    QTest::addRow("a range starting inside a surrogate pair")
            << u"BEGIN_MENU(M)\nEND_MENU(M, \"Сервисное меню 😀\")\n"_s
            << QJsonArray {change(1, 29, 1, 30, QString())}
            << u"BEGIN_MENU(M)\nEND_MENU(M, \"Сервисное меню \")\n"_s << QStringList();
    QTest::addRow("a range ending inside a surrogate pair")
            << menu << QJsonArray {change(1, 19, 1, 21, u"X"_s)}
            << QString(menu).replace(u" 😀"_s, u"X😀"_s) << emoji;
    QTest::addRow("an insertion inside a surrogate pair")
            << menu << QJsonArray {change(1, 21, 1, 21, u"Ω"_s)}
            << QString(menu).replace(u"😀"_s, u"Ω😀"_s)
            << QStringList {u"1:20-1:21"_s, u"1:21-1:23"_s};
}

void tst_Lsp::edits()
{
    QFETCH(QString, initial);
    QFETCH(QJsonArray, changes);
    QFETCH(QString, expected);
    QFETCH(QStringList, ranges);

    Client client;
    client.initialize();
    client.send(message(u"textDocument/didOpen"_s, openParams(Uri, initial)));
    client.send(message(u"textDocument/didChange"_s,
                        textDocument(Uri, {{u"contentChanges"_s, changes}})));
    QCOMPARE(client.session.document(Uri)->text(), expected);
    client.session.publishPending();
    const QList<QJsonObject> published = client.publications();
    // On opening, and after the changes unless they were refused.
    QCOMPARE(published.size(), expected == initial ? 1 : 2);
    QStringList found;
    for (const QJsonValue diagnostic : published.last()[u"diagnostics"_s].toArray())
        found << rangeText(diagnostic[u"range"_s].toObject());
    QCOMPARE(found, ranges);
    QVERIFY(!client.faulty);
}

void tst_Lsp::debounce()
{
    Client client;
    // The debounce's clock turned by hand, 2 ms a keystroke.
    qint64 now = 0;
    client.session.setClock([&now] { return now; });
    client.initialize();
    // Opening publishes at once; only edits wait for typing to stop.
    client.send(message(u"textDocument/didOpen"_s, openParams(Uri, QString())));
    QCOMPARE(client.publications().size(), 1);
    for (int i = 0; i < 20; ++i) {
        client.send(message(
                u"textDocument/didChange"_s,
                textDocument(Uri,
                             {{u"contentChanges"_s, QJsonArray {change(0, i, 0, i, u"x"_s)}}})));
        now += 2;
        client.session.publishDue();
    }
    QCOMPARE(client.publications().size(), 1);
    // The quiet time counts from the last keystroke, not the first.
    now += LspDispatcher::DebounceMilliseconds - 3;
    client.session.publishDue();
    QCOMPARE(client.publications().size(), 1);
    now += 1;
    client.session.publishDue();
    QCOMPARE(client.publications().size(), 2);
    now += 700;
    client.session.publishDue();
    QCOMPARE(client.publications().size(), 2);
    QCOMPARE(client.session.document(Uri)->text(), QString(20, u'x'));
}

void tst_Lsp::headersChangeIncluders()
{
    QTemporaryDir dir;
    const auto uri = [&](const QString &name) {
        return QUrl::fromLocalFile(dir.filePath(name)).toString();
    };
    const auto write = [&](const QByteArray &header) {
        QFile file(dir.filePath(u"strings.h"_s));
        return file.open(QIODevice::WriteOnly) && file.write(header) == header.size();
    };
    // The findings last published for a document.
    const auto messages = [&](const Client &client, const QString &name) {
        QStringList found;
        for (const QJsonObject &publication : client.publications()) {
            if (publication[u"uri"_s] == uri(name)) {
                found.clear();
                for (const QJsonValue &diagnostic : publication[u"diagnostics"_s].toArray())
                    found << diagnostic[u"message"_s].toString();
            }
        }
        return found.join(u'|');
    };
    QVERIFY(write("#define STR_A \"Short\"\n"));
    const QString includer = u"#include \"strings.h\"\nBEGIN_MENU(M)\n  MENU_ITEM(STR_A)\n"
                             "END_MENU(M, \"T\")\n"_s;
    Client client;
    qint64 now = 0;
    client.session.setClock([&now] { return now; });
    client.initialize();
    client.send(message(u"textDocument/didOpen"_s, openParams(uri(u"menu.c"_s), includer)));
    client.send(message(u"textDocument/didOpen"_s,
                        openParams(uri(u"other.c"_s), u"BEGIN_MENU(O)\nEND_MENU(O, \"T\")\n"_s)));
    client.send(message(u"textDocument/didOpen"_s,
                        openParams(uri(u"strings.h"_s), u"#define STR_A \"Short\"\n"_s)));
    const qsizetype opened = client.publications().size();
    QCOMPARE(messages(client, u"menu.c"_s), QString());

    // An edit of the open header: its includer goes out with it, after the quiet time.
    client.send(message(
            u"textDocument/didChange"_s,
            textDocument(uri(u"strings.h"_s),
                         {{u"contentChanges"_s,
                           QJsonArray {change(0, 15, 0, 20, u"Far too long for the screen"_s)}}})));
    client.session.publishDue();
    QCOMPARE(client.publications().size(), opened);
    now += LspDispatcher::DebounceMilliseconds;
    client.session.publishDue();
    QCOMPARE(client.publications().size(), opened + 2); // the header and menu.c, not other.c
    QCOMPARE(messages(client, u"menu.c"_s), u"item STR_A takes 27 cells; the screen shows 21"_s);

    // Closed, the header is read from the disk again.
    client.send(message(u"textDocument/didClose"_s, textDocument(uri(u"strings.h"_s))));
    now += LspDispatcher::DebounceMilliseconds;
    client.session.publishDue();
    QCOMPARE(messages(client, u"menu.c"_s), QString());

    // Saved by another program: taken when the files are looked at again.
    const qsizetype before = client.publications().size();
    client.session.checkFiles();
    client.session.publishPending();
    QCOMPARE(client.publications().size(), before);
    QVERIFY(write("#define STR_A \"Written on the disk meanwhile\"\n"));
    client.session.checkFiles();
    client.session.publishPending();
    QCOMPARE(client.publications().size(), before + 1);
    QCOMPARE(messages(client, u"menu.c"_s), u"item STR_A takes 29 cells; the screen shows 21"_s);
}

void tst_Lsp::closeClears()
{
    Client client;
    client.initialize();
    client.send(message(u"textDocument/didOpen"_s, openParams(Uri, u"BEGIN_MENU(M)\n"_s)));
    client.session.publishPending();
    QCOMPARE(client.publications().last()[u"diagnostics"_s].toArray().size(), 1);
    // A change still held back by the debounce must not publish after the close.
    client.send(message(
            u"textDocument/didChange"_s,
            textDocument(Uri, {{u"contentChanges"_s, QJsonArray {change(0, 0, 0, 0, u" "_s)}}})));
    client.send(message(u"textDocument/didClose"_s, textDocument(Uri)));
    client.session.publishPending();
    QCOMPARE(client.publications().size(), 2);
    QCOMPARE(client.publications().last()[u"diagnostics"_s].toArray(), QJsonArray());
    QVERIFY(!client.session.document(Uri));
}

void tst_Lsp::hover_data()
{
    QTest::addColumn<int>("line"); // from 0
    QTest::addColumn<int>("character");
    QTest::addColumn<QString>("range"); // empty: no hover

    QTest::addRow("title of the main menu") << 24 << 22 << u"16:0-24:27"_s;
    QTest::addRow("item of the setpoint menu") << 29 << 4 << u"27:0-33:42"_s;
    QTest::addRow("between menus") << 25 << 0 << QString();
    QTest::addRow("past the line's end in a menu") << 19 << 500 << u"16:0-24:27"_s;
}

void tst_Lsp::hover()
{
    QFETCH(int, line);
    QFETCH(int, character);
    QFETCH(QString, range);

    const QString path = sourceDir() + u"/examples/main_menu.c"_s;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    {
        // A stored value must show on the screen as it does in the pane.
        const std::unique_ptr<QSettings> settings(VelkoMenuView::ParameterStore::openUserStore());
        VelkoMenuView::ParameterStore(settings.get())
                .save(path, u"MainMenu"_s, {u"Пуск"_s, u"Стоп"_s, u"Темп. %d°C"_s}, {}, 2, 1,
                      u"-40"_s);
    }
    Client client;
    client.initialize();
    client.send(message(
            u"textDocument/didOpen"_s,
            openParams(QUrl::fromLocalFile(path).toString(), QString::fromUtf8(file.readAll()))));
    const QJsonValue result
            = client.request(u"textDocument/hover"_s,
                             textDocument(QUrl::fromLocalFile(path).toString(),
                                          {{u"position"_s, position(line, character)}}));
    if (range.isEmpty()) {
        QVERIFY(result.isNull());
        return;
    }
    QCOMPARE(rangeText(result[u"range"_s].toObject()), range);
    QCOMPARE(result[u"contents"_s][u"kind"_s], u"markdown"_s);
    const QString markdown = result[u"contents"_s][u"value"_s].toString();
    static const QRegularExpression pattern(
            QString::fromUtf8(
                    R"(^!\[\w+\]\(data:image/png;base64,([A-Za-z0-9+/=]+)\)\n\n```text\n(.*)```\n\n\*(.*)\*\n$)"),
            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = pattern.match(markdown);
    QVERIFY2(match.hasMatch(), qPrintable(markdown.left(200)));
    // The examples are built by no database: the last line says so.
    QVERIFY2(match.captured(3).startsWith(u"no build options"_s), qPrintable(match.captured(3)));

    // The same screen as `render` draws it, with the same stored value; any
    // column of these lines stands in the same menu.
    QTemporaryDir dir;
    const QString png = dir.filePath(u"screen.png"_s);
    const QString art = QString::fromUtf8(
            runTool({u"render"_s, u"%1:%2"_s.arg(path).arg(line + 1), u"--ascii"_s, u"-o"_s, png,
                     u"--scale"_s, u"2"_s, u"--time"_s, u"12:30"_s}));
    QVERIFY(art.contains(u'#'));
    QCOMPARE(match.captured(2), foldArt(art));
    const QImage image
            = QImage::fromData(QByteArray::fromBase64(match.captured(1).toLatin1()), "PNG");
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32),
             QImage(png).convertToFormat(QImage::Format_RGB32));
}

void tst_Lsp::serverMatchesCheck()
{
    const QStringList files
            = QDir(sourceDir() + u"/examples"_s).entryList({u"*.c"_s}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 3);
    QByteArray input;
    const auto add = [&input](const QJsonObject &object) {
        input += frameMessage(QJsonDocument(object).toJson(QJsonDocument::Compact));
    };
    add(message(u"initialize"_s, QJsonObject {{u"capabilities"_s, QJsonObject()}}, 1));
    add(message(u"initialized"_s, QJsonObject()));
    QStringList paths;
    for (const QString &name : files)
        paths << sourceDir() + u"/examples/"_s + name;
    // Zero bytes, which the compiler reads as white space, are read alike.
    const QTemporaryDir folder;
    paths << folder.filePath(u"zero-bytes.c"_s);
    {
        QFile file(paths.last());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("BEGIN_MENU(\0Main)\n  MENU_ITEM(\"\xCE\xA9\" /* \0 */)\n"
                              "\0END_MENU(Main,\0\"T\")\n",
                              65));
    }
    for (const QString &path : std::as_const(paths)) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        add(message(u"textDocument/didOpen"_s,
                    openParams(QUrl::fromLocalFile(path).toString(),
                               QString::fromUtf8(file.readAll()))));
    }
    // The debounce runs out while the server waits for the rest of its input.
    QProcess server;
    server.start(Tool, {u"lsp"_s});
    QVERIFY(server.waitForStarted());
    server.write(input);
    QByteArray output;
    QDeadlineTimer deadline(20000);
    while (output.count("publishDiagnostics") < paths.size() && !deadline.hasExpired()) {
        server.waitForReadyRead(100);
        output += server.readAllStandardOutput();
    }
    input.clear();
    add(message(u"shutdown"_s, QJsonValue::Undefined, 2));
    add(message(u"exit"_s, QJsonValue::Undefined));
    server.write(input);
    server.closeWriteChannel();
    QVERIFY(server.waitForFinished(20000));
    QCOMPARE(server.exitCode(), 0);
    output += server.readAllStandardOutput();

    LspMessageReader reader;
    QStringList lines;
    for (const LspFrame &frame : reader.feed(output)) {
        const QJsonObject object = QJsonDocument::fromJson(frame.body).object();
        if (object[u"method"_s] != u"textDocument/publishDiagnostics"_s)
            continue;
        const QJsonObject params = object[u"params"_s].toObject();
        const QString path = QUrl(params[u"uri"_s].toString()).toLocalFile();
        for (const QJsonValue diagnostic : params[u"diagnostics"_s].toArray()) {
            const QJsonObject start = diagnostic[u"range"_s][u"start"_s].toObject();
            lines << u"%1:%2:%3: %4: %5"_s.arg(path)
                             .arg(start[u"line"_s].toInt() + 1)
                             .arg(start[u"character"_s].toInt() + 1)
                             .arg(QStringList {u"error"_s, u"warning"_s, u"note"_s}.value(
                                          diagnostic[u"severity"_s].toInt() - 1),
                                  diagnostic[u"message"_s].toString());
        }
    }
    const QStringList expected = QString::fromUtf8(runTool(QStringList {u"check"_s} + paths))
                                         .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(lines, expected);
}

void tst_Lsp::editedDraftsReadAsOpened_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("constructs");

    QTest::newRow("everything") << 21u << "all";
    QTest::newRow("headers and groups") << 23u << "Conditionals,Includes,Macros,Constants";
}

// A session that follows edits of its drafts, the main file's and its
// headers', finds what a session that opens the edited texts finds.
void tst_Lsp::editedDraftsReadAsOpened()
{
    QFETCH(quint32, seed);
    QFETCH(QString, constructs);

    const GeneratedSources generated(seed, constructs, 3);
    QVERIFY2(generated.error.isEmpty(), qPrintable(generated.error));
    const QDir folder(generated.folder.path());
    QRandomGenerator rng(seed);
    for (qsizetype index = 0; index < generated.sources.size(); ++index) {
        const MenuSourceGenerator::Source &source = generated.sources.at(index);
        QStringList uris;
        QStringList texts;
        for (const MenuSourceGenerator::File &file : QList {source.main} + source.headers) {
            uris << QUrl::fromLocalFile(folder.filePath(file.path)).toString();
            texts << QString::fromUtf8(file.bytes);
        }
        const auto openAll = [&](Client &client) {
            BuildOptions build;
            build.arguments = source.options;
            client.session.setBuildOptions(build);
            client.initialize();
            // The main file last: opening it publishes what it reads of its headers' drafts.
            for (qsizetype i = uris.size() - 1; i >= 0; --i)
                client.send(message(u"textDocument/didOpen"_s, openParams(uris[i], texts[i])));
        };
        Client following;
        openAll(following);
        for (int edit = 0; edit < 60; ++edit) {
            // Mostly the main file; now and then a header it includes.
            const qsizetype file = rng.bounded(4) == 0 ? rng.bounded(uris.size()) : 0;
            QString &text = texts[file];
            const LspDocument *draft = following.session.document(uris[file]);
            // Where a position can say: not between a CR and its LF.
            const LspPosition start = draft->positionAt(rng.bounded(text.size() + 1));
            const qsizetype at = draft->offsetAt(start);
            const LspPosition end = draft->positionAt(at + rng.bounded(12));
            const qsizetype removed = qMax<qsizetype>(draft->offsetAt(end) - at, 0);
            const QString inserted = MenuSourceGenerator::randomInsertion(rng, text);
            following.send(
                    message(u"textDocument/didChange"_s,
                            textDocument(uris[file],
                                         {{u"contentChanges"_s,
                                           QJsonArray {change(start.line, start.character, end.line,
                                                              end.character, inserted)}}})));
            text.replace(at, removed, inserted);
            QCOMPARE(draft->text(), text);

            Client opened;
            openAll(opened);
            // The main file's findings, whichever draft changed.
            following.session.publishPending();
            following.session.publishDiagnostics(uris[0]);
            QCOMPARE(following.publications().last(), opened.publications().last());
            const LspPosition hovered = draft->positionAt(rng.bounded(texts[0].size() + 1));
            const QJsonObject at0 = {{u"position"_s, position(hovered.line, hovered.character)}};
            QCOMPARE(following.request(u"textDocument/hover"_s, textDocument(uris[0], at0)),
                     opened.request(u"textDocument/hover"_s, textDocument(uris[0], at0)));
        }
    }
}

QTEST_GUILESS_MAIN(tst_Lsp)
#include "tst_lsp.moc"
