// JSON-RPC dispatch. Every request is answered as it arrives, so nothing is
// ever pending for "$/cancelRequest"; a faulty notification cannot be
// answered and is reported through window/logMessage instead.
#include "lspsession.h"

#include "buildcontext.h"

#include "lsphover.h"
#include "menuchecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>

#include <algorithm>
#include <cmath>

using namespace VelkoMenuView;

namespace {

constexpr int LogError = 1;
constexpr int SyncIncremental = 2;
constexpr int SeverityError = 1;
constexpr int SeverityWarning = 2;

// The protocol's uinteger.
bool readUInteger(const QJsonValue &value, qint64 *number)
{
    const double d = value.toDouble(-1);
    if (!value.isDouble() || d < 0 || d > 2147483647.0 || d != std::floor(d))
        return false;
    *number = qint64(d);
    return true;
}

bool readPosition(const QJsonValue &value, LspPosition *position)
{
    const QJsonObject object = value.toObject();
    return readUInteger(object.value(QLatin1String("line")), &position->line)
            && readUInteger(object.value(QLatin1String("character")), &position->character);
}

QJsonObject positionJson(LspPosition position)
{
    return {{QStringLiteral("line"), position.line},
            {QStringLiteral("character"), position.character}};
}

QJsonObject rangeJson(const LspDocument &document, qsizetype begin, qsizetype end)
{
    return {{QStringLiteral("start"), positionJson(document.positionAt(begin))},
            {QStringLiteral("end"), positionJson(document.positionAt(end))}};
}

QString textDocumentUri(const QJsonObject &params)
{
    return params.value(QLatin1String("textDocument"))
            .toObject()
            .value(QLatin1String("uri"))
            .toString();
}

// A JSON text that is no object or array (null, 1, "x"): the JSON reader
// takes only documents, so the value is read as the one element of an array.
bool isJsonValue(const QByteArray &body)
{
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + body + ']');
    return wrapped.isArray() && wrapped.array().size() == 1;
}

bool offersMarkdown(const QJsonObject &capabilities)
{
    const QJsonValue formats = capabilities.value(QLatin1String("textDocument"))
                                       .toObject()
                                       .value(QLatin1String("hover"))
                                       .toObject()
                                       .value(QLatin1String("contentFormat"));
    return !formats.isArray() || formats.toArray().contains(QStringLiteral("markdown"));
}

} // namespace

LspSession::LspSession(QObject *parent)
    : QObject(parent)
    , m_settings(ParameterStore::openUserStore())
    , m_store(m_settings.get())
{
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(DefaultDebounceMilliseconds);
    connect(&m_debounce, &QTimer::timeout, this, &LspSession::publishPending);
}

LspSession::~LspSession() = default;

const LspDocument *LspSession::document(const QString &uri) const
{
    const auto it = m_documents.constFind(uri);
    return it == m_documents.cend() ? nullptr : &*it;
}

void LspSession::receive(const LspFrame &frame)
{
    if (m_state == State::Exited)
        return;
    switch (frame.kind) {
    case LspFrame::Kind::Message:
        receive(frame.body);
        return;
    case LspFrame::Kind::Malformed:
        replyError(QJsonValue::Null, ParseError, frame.error);
        return;
    case LspFrame::Kind::Oversize:
        replyError(QJsonValue::Null, InvalidRequest, frame.error);
        return;
    }
}

void LspSession::receive(const QByteArray &body)
{
    if (m_state == State::Exited)
        return;
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError && isJsonValue(body)) {
        replyError(QJsonValue::Null, InvalidRequest,
                   QStringLiteral("a message must be a JSON object, not %1")
                           .arg(QString::fromUtf8(body.trimmed().left(20))));
        return;
    }
    if (parseError.error != QJsonParseError::NoError) {
        replyError(QJsonValue::Null, ParseError,
                   QStringLiteral("the message is not JSON: %1 at byte %2")
                           .arg(parseError.errorString())
                           .arg(parseError.offset));
        return;
    }
    if (!json.isObject()) {
        replyError(QJsonValue::Null, InvalidRequest,
                   QStringLiteral("a message must be a JSON object (batches are not supported)"));
        return;
    }
    const QJsonObject message = json.object();
    const bool hasId = message.contains(QLatin1String("id"));
    QJsonValue id = message.value(QLatin1String("id"));
    if (hasId && !id.isString() && !id.isDouble()) {
        replyError(QJsonValue::Null, InvalidRequest,
                   QStringLiteral("the id must be a number or a string"));
        return;
    }
    if (!hasId)
        id = QJsonValue::Null;
    const QJsonValue method = message.value(QLatin1String("method"));
    const QJsonValue params = message.value(QLatin1String("params"));
    if (message.value(QLatin1String("jsonrpc")) != QLatin1String("2.0")) {
        replyError(id, InvalidRequest, QStringLiteral("\"jsonrpc\" must be \"2.0\""));
    } else if (!method.isString()) {
        // A response: this server sends no requests, so there is nothing to match it with.
        if (!hasId
            || !(message.contains(QLatin1String("result"))
                 || message.contains(QLatin1String("error"))))
            replyError(id, InvalidRequest, QStringLiteral("the message has no method"));
    } else if (!params.isUndefined() && !params.isNull() && !params.isObject()
               && !params.isArray()) {
        // null stands for no params: clients send it with shutdown and exit.
        replyError(id, InvalidRequest, QStringLiteral("params must be an object or an array"));
    } else if (hasId) {
        request(id, method.toString(), params);
    } else {
        notification(method.toString(), params);
    }
}

void LspSession::request(const QJsonValue &id, const QString &method, const QJsonValue &params)
{
    if (m_state == State::Uninitialized && method != QLatin1String("initialize")) {
        replyError(id, ServerNotInitialized,
                   QStringLiteral("%1 before initialize: the server is not initialized yet")
                           .arg(method));
        return;
    }
    if (m_state == State::ShutDown) {
        replyError(id, InvalidRequest,
                   QStringLiteral("%1 after shutdown: only exit is accepted").arg(method));
        return;
    }
    if (method == QLatin1String("initialize")) {
        if (m_state != State::Uninitialized)
            replyError(id, InvalidRequest, QStringLiteral("initialize was already received"));
        else if (!params.isObject())
            replyError(id, InvalidParams, QStringLiteral("initialize needs its params object"));
        else
            reply(id, initialize(params.toObject()));
    } else if (method == QLatin1String("shutdown")) {
        m_state = State::ShutDown;
        m_debounce.stop();
        m_pending.clear();
        reply(id, QJsonValue::Null);
    } else if (method == QLatin1String("textDocument/hover")) {
        QJsonValue result;
        QString error;
        if (hover(params.toObject(), &result, &error))
            reply(id, result);
        else
            replyError(id, InvalidParams, error);
    } else {
        replyError(id, MethodNotFound, QStringLiteral("unknown method %1").arg(method));
    }
}

void LspSession::notification(const QString &method, const QJsonValue &params)
{
    if (method == QLatin1String("exit")) {
        const bool orderly = m_state == State::ShutDown;
        m_state = State::Exited;
        m_debounce.stop();
        emit exitRequested(orderly ? 0 : 1);
        return;
    }
    // Before initialize and after shutdown notifications are dropped.
    if (m_state != State::Running)
        return;
    const QJsonObject object = params.toObject();
    QString error;
    if (method == QLatin1String("textDocument/didOpen")) {
        error = didOpen(object);
    } else if (method == QLatin1String("textDocument/didChange")
               || method == QLatin1String("textDocument/didSave")
               || method == QLatin1String("textDocument/didClose")) {
        if (LspDocument *open = openDocument(object, &error)) {
            if (method.endsWith(QLatin1String("Change")))
                error = didChange(*open, object);
            else if (method.endsWith(QLatin1String("Save")))
                didSave(*open, object);
            else
                didClose(open->uri());
        }
    }
    if (!error.isEmpty())
        notify(QStringLiteral("window/logMessage"),
               {{QStringLiteral("type"), LogError},
                {QStringLiteral("message"), QStringLiteral("%1 ignored: %2").arg(method, error)}});
}

QJsonObject LspSession::initialize(const QJsonObject &params)
{
    m_state = State::Running;
    // {"defines": ["NAME=VALUE", ...], "undefines": [...], "includePaths": [...],
    //  "compileCommands": "FILE"}
    const QJsonObject options = params.value(QLatin1String("initializationOptions")).toObject();
    const auto strings = [&](const char *key, const char *option) {
        for (const QJsonValue &value : options.value(QLatin1String(key)).toArray()) {
            if (value.isString() && !value.toString().isEmpty())
                m_build.arguments << QString::fromLatin1(option) << value.toString();
        }
    };
    strings("defines", "-D");
    strings("undefines", "-U");
    strings("includePaths", "-I");
    if (options.value(QLatin1String("compileCommands")).isString())
        m_build.compileCommands = options.value(QLatin1String("compileCommands")).toString();
    m_markdownHover = offersMarkdown(params.value(QLatin1String("capabilities")).toObject());
    const QJsonObject sync {
            {QStringLiteral("openClose"), true},
            {QStringLiteral("change"), SyncIncremental},
            {QStringLiteral("save"), QJsonObject {{QStringLiteral("includeText"), false}}}};
    // Diagnostics go out by publishDiagnostics (push), which needs no capability.
    const QJsonObject capabilities {{QStringLiteral("positionEncoding"), QStringLiteral("utf-16")},
                                    {QStringLiteral("textDocumentSync"), sync},
                                    {QStringLiteral("hoverProvider"), true}};
    return {{QStringLiteral("capabilities"), capabilities},
            {QStringLiteral("serverInfo"),
             QJsonObject {{QStringLiteral("name"), QStringLiteral("velko-menu")},
                          {QStringLiteral("version"), QStringLiteral(VELKO_VERSION)}}}};
}

bool LspSession::hover(const QJsonObject &params, QJsonValue *result, QString *error)
{
    LspPosition position;
    if (!readPosition(params.value(QLatin1String("position")), &position)) {
        *error = QStringLiteral("hover needs a position of two non-negative integers");
        return false;
    }
    const LspDocument *open = openDocument(params, error);
    if (!open)
        return false;
    *result = QJsonValue::Null;
    if (position.line >= open->lines().lineCount())
        return true;
    const LspHover found = menuHoverAt(
            open->text(), open->lines(), open->offsetAt(position), m_store, open->path(),
            m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime(), contextFor(*open));
    if (!found.found)
        return true;
    const bool markdown = m_markdownHover;
    *result = QJsonObject {
            {QStringLiteral("contents"),
             QJsonObject {{QStringLiteral("kind"),
                           markdown ? QStringLiteral("markdown") : QStringLiteral("plaintext")},
                          {QStringLiteral("value"), markdown ? found.markdown : found.plainText}}},
            {QStringLiteral("range"), rangeJson(*open, found.begin, found.end)}};
    return true;
}

LspDocument *LspSession::openDocument(const QJsonObject &params, QString *error)
{
    const QString uri = textDocumentUri(params);
    const auto it = m_documents.find(uri);
    if (it != m_documents.end())
        return &*it;
    *error = uri.isEmpty() ? QStringLiteral("no textDocument.uri")
                           : QStringLiteral("%1 is not open").arg(uri);
    return nullptr;
}

QString LspSession::didOpen(const QJsonObject &params)
{
    const QJsonObject item = params.value(QLatin1String("textDocument")).toObject();
    const QString uri = item.value(QLatin1String("uri")).toString();
    const QJsonValue text = item.value(QLatin1String("text"));
    if (uri.isEmpty() || !text.isString())
        return QStringLiteral("textDocument needs a uri and a text");
    m_documents.insert(
            uri, LspDocument(uri, text.toString(), item.value(QLatin1String("version")).toInt()));
    // Opening is no typing: its findings go out at once, and edits of the
    // same document held back until now are in this text already.
    m_pending.remove(uri);
    publishDiagnostics(uri);
    return QString();
}

QString LspSession::didChange(LspDocument &open, const QJsonObject &params)
{
    const QJsonValue changes = params.value(QLatin1String("contentChanges"));
    if (!changes.isArray())
        return QStringLiteral("no contentChanges array");
    // All or nothing: a change that cannot be applied leaves the text as it was.
    LspDocument edited = open;
    const QJsonArray list = changes.toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject change = list.at(i).toObject();
        const QJsonValue text = change.value(QLatin1String("text"));
        const QJsonValue range = change.value(QLatin1String("range"));
        LspPosition start;
        LspPosition end;
        QString error;
        if (!text.isString()) {
            error = QStringLiteral("it has no text");
        } else if (range.isUndefined()) {
            edited.setText(text.toString());
            continue;
        } else if (!readPosition(range[QLatin1String("start")], &start)
                   || !readPosition(range[QLatin1String("end")], &end)) {
            error = QStringLiteral("its range needs start and end positions of non-negative "
                                   "integers");
        } else if (edited.replace(start, end, text.toString(), &error)) {
            continue;
        }
        return QStringLiteral("change %1 of %2 cannot be applied, %3 keeps its text: %4")
                .arg(i + 1)
                .arg(list.size())
                .arg(open.uri(), error);
    }
    edited.setVersion(params.value(QLatin1String("textDocument"))
                              .toObject()
                              .value(QLatin1String("version"))
                              .toInt(open.version()));
    open = edited;
    schedule(open.uri());
    return QString();
}

void LspSession::didSave(LspDocument &open, const QJsonObject &params)
{
    const QJsonValue text = params.value(QLatin1String("text"));
    if (text.isString())
        open.setText(text.toString());
    // Values typed into the pane meanwhile show in the findings after a save.
    m_settings->sync();
    schedule(open.uri());
}

void LspSession::didClose(const QString &uri)
{
    m_documents.remove(uri);
    m_pending.remove(uri);
    notify(QStringLiteral("textDocument/publishDiagnostics"),
           {{QStringLiteral("uri"), uri}, {QStringLiteral("diagnostics"), QJsonArray()}});
}

void LspSession::schedule(const QString &uri)
{
    m_pending.insert(uri);
    m_debounce.start();
}

void LspSession::publishPending()
{
    QStringList uris(m_pending.cbegin(), m_pending.cend());
    m_pending.clear();
    std::sort(uris.begin(), uris.end());
    for (const QString &uri : uris)
        publishDiagnostics(uri);
}

void LspSession::publishDiagnostics(const QString &uri)
{
    const LspDocument *open = document(uri);
    if (!open)
        return;
    const CheckContext context {&open->lines(), &m_store, open->path(), 10, contextFor(*open),
                                false};
    QJsonArray diagnostics;
    for (const Diagnostic &diagnostic : checkMenus(open->text(), context)) {
        const bool error = diagnostic.severity == Diagnostic::Severity::Error;
        diagnostics.append(QJsonObject {
                {QStringLiteral("range"), rangeJson(*open, diagnostic.begin, diagnostic.end)},
                {QStringLiteral("severity"), error ? SeverityError : SeverityWarning},
                {QStringLiteral("source"), QStringLiteral("velko-menu")},
                {QStringLiteral("message"), diagnostic.message}});
    }
    notify(QStringLiteral("textDocument/publishDiagnostics"),
           {{QStringLiteral("uri"), uri},
            {QStringLiteral("version"), open->version()},
            {QStringLiteral("diagnostics"), diagnostics}});
}

VelkoMenuView::SourceContext LspSession::contextFor(const LspDocument &open)
{
    VelkoMenuView::SourceContext context;
    QString problem;
    if (!open.path().isEmpty() && !sourceContextFor(open.path(), m_build, &context, &problem)) {
        // Said once per session: the documents are still read, without it.
        if (!m_buildProblemTold)
            notify(QStringLiteral("window/logMessage"),
                   {{QStringLiteral("type"), 2}, {QStringLiteral("message"), problem}});
        m_buildProblemTold = true;
        context.path = open.path();
    }
    context.openText = [this](const QString &path, QString *text) {
        for (const LspDocument &document : std::as_const(m_documents)) {
            if (document.path() == path) {
                *text = document.text();
                return true;
            }
        }
        return false;
    };
    return context;
}

void LspSession::reply(const QJsonValue &id, const QJsonValue &result)
{
    write({{QStringLiteral("id"), id}, {QStringLiteral("result"), result}});
}

void LspSession::replyError(const QJsonValue &id, int code, const QString &message)
{
    write({{QStringLiteral("id"), id},
           {QStringLiteral("error"),
            QJsonObject {{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}});
}

void LspSession::notify(const QString &method, const QJsonObject &params)
{
    write({{QStringLiteral("method"), method}, {QStringLiteral("params"), params}});
}

void LspSession::write(const QJsonObject &message)
{
    QJsonObject full = message;
    full.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    emit send(QJsonDocument(full).toJson(QJsonDocument::Compact));
}
