// Every request is answered as it arrives, so nothing is ever pending for
// "$/cancelRequest"; a faulty notification cannot be answered and is
// reported through window/logMessage instead.
#include "lspdispatcher.h"

#include <QUrl>

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

constexpr int JsonParseError = -32700, InvalidRequest = -32600, MethodNotFound = -32601,
              InvalidParams = -32602, ServerNotInitialized = -32002;
constexpr int LogError = 1, LogWarning = 2, SeverityError = 1, SeverityWarning = 2,
              SeverityInformation = 3;
// Edits come as ranges (change 2); diagnostics go out by publishDiagnostics
// (push), which needs no capability.
constexpr char Capabilities[] = R"({"positionEncoding": "utf-16", "hoverProvider": true,
    "textDocumentSync": {"openClose": true, "change": 2, "save": {"includeText": false}}})";

QJsonObject rangeJson(const LspDocument &document, qsizetype begin, qsizetype end)
{
    const auto position = [&document](qsizetype offset) {
        const LspPosition at = document.positionAt(offset);
        return QJsonObject {{u"line"_s, at.line}, {u"character"_s, at.character}};
    };
    return {{u"start"_s, position(begin)}, {u"end"_s, position(end)}};
}

// A JSON text that is no object or array (null, 1, "x"): the JSON reader
// takes only documents, so the value is read as the one element of an array.
bool isJsonValue(const QByteArray &body)
{
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + body + ']');
    return wrapped.isArray() && wrapped.array().size() == 1;
}

} // namespace

LspDispatcher::LspDispatcher(QObject *parent)
    : QObject(parent)
{
    bind(m_requests, u"initialize"_s, &LspDispatcher::initialize);
    bind(m_requests, u"shutdown"_s, &LspDispatcher::shutdown);
    bind(m_requests, u"textDocument/hover"_s, &LspDispatcher::hover);
    bind(m_notifications, u"exit"_s, &LspDispatcher::exit);
    bind(m_notifications, u"textDocument/didOpen"_s, &LspDispatcher::didOpen);
    bind(m_notifications, u"textDocument/didChange"_s, &LspDispatcher::didChange);
    bind(m_notifications, u"textDocument/didSave"_s, &LspDispatcher::didSave);
    bind(m_notifications, u"textDocument/didClose"_s, &LspDispatcher::didClose);
    m_debounce.setSingleShot(true);
    connect(&m_debounce, &QTimer::timeout, this, &LspDispatcher::publishDue);
    m_fileCheck.setInterval(FileCheckMilliseconds);
    connect(&m_fileCheck, &QTimer::timeout, this, &LspDispatcher::checkFiles);
}

void LspDispatcher::receive(const LspFrame &frame)
{
    if (frame.kind == LspFrame::Kind::Message)
        receive(frame.body);
    else if (m_state != State::Exited)
        replyError(QJsonValue::Null,
                   frame.kind == LspFrame::Kind::Malformed ? JsonParseError : InvalidRequest,
                   frame.error);
}

void LspDispatcher::receive(const QByteArray &body)
{
    if (m_state == State::Exited)
        return;
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(body, &parseError);
    const QJsonObject message = json.object();
    const bool hasId = message.contains(u"id");
    const QJsonValue id = hasId ? message.value(u"id") : QJsonValue::Null;
    const QJsonValue method = message.value(u"method");
    const QJsonValue params = message.value(u"params");
    if (parseError.error != QJsonParseError::NoError && isJsonValue(body)) {
        replyError(QJsonValue::Null, InvalidRequest,
                   u"a message must be a JSON object, not %1"_s.arg(
                           QString::fromUtf8(body.trimmed().left(20))));
    } else if (parseError.error != QJsonParseError::NoError) {
        replyError(QJsonValue::Null, JsonParseError,
                   u"the message is not JSON: %1 at byte %2"_s.arg(parseError.errorString())
                           .arg(parseError.offset));
    } else if (!json.isObject()) {
        replyError(QJsonValue::Null, InvalidRequest,
                   u"a message must be a JSON object (batches are not supported)"_s);
    } else if (hasId && !id.isString() && !id.isDouble()) {
        replyError(QJsonValue::Null, InvalidRequest, u"the id must be a number or a string"_s);
    } else if (message.value(u"jsonrpc") != u"2.0"_s) {
        replyError(id, InvalidRequest, u"\"jsonrpc\" must be \"2.0\""_s);
    } else if (!method.isString()) {
        // A response: this server sends no requests, so there is nothing to match it with.
        if (!hasId || !(message.contains(u"result") || message.contains(u"error")))
            replyError(id, InvalidRequest, u"the message has no method"_s);
    } else if (!params.isUndefined() && !params.isNull() && !params.isObject()
               && !params.isArray()) {
        // null stands for no params: clients send it with shutdown and exit.
        replyError(id, InvalidRequest, u"params must be an object or an array"_s);
    } else if (hasId) {
        request(id, method.toString(), params);
    } else {
        notification(method.toString(), params);
    }
}

void LspDispatcher::request(const QJsonValue &id, const QString &method, const QJsonValue &params)
{
    const auto handler = m_requests.constFind(method);
    if (m_state == State::Uninitialized && method != u"initialize"_s) {
        replyError(id, ServerNotInitialized,
                   u"%1 before initialize: the server is not initialized yet"_s.arg(method));
    } else if (m_state == State::ShutDown) {
        replyError(id, InvalidRequest, u"%1 after shutdown: only exit is accepted"_s.arg(method));
    } else if (m_state != State::Uninitialized && method == u"initialize"_s) {
        replyError(id, InvalidRequest, u"initialize was already received"_s);
    } else if (handler == m_requests.cend()) {
        replyError(id, MethodNotFound, u"unknown method %1"_s.arg(method));
    } else if (const Answer answer = (*handler)(params); !answer.error.isEmpty()) {
        replyError(id, InvalidParams, answer.error);
    } else {
        write({{u"id"_s, id}, {u"result"_s, answer.result}});
    }
}

void LspDispatcher::notification(const QString &method, const QJsonValue &params)
{
    const auto handler = m_notifications.constFind(method);
    // Before initialize and after shutdown only exit is taken; unknown ones are dropped.
    if (handler == m_notifications.cend() || (m_state != State::Running && method != u"exit"_s))
        return;
    if (const QString error = (*handler)(params).error; !error.isEmpty())
        notify(u"window/logMessage"_s,
               {{u"type"_s, LogError}, {u"message"_s, u"%1 ignored: %2"_s.arg(method, error)}});
}

LspDispatcher::Answer LspDispatcher::initialize(const InitializeParams &params)
{
    m_state = State::Running;
    m_features.buildOptions().arguments << params.buildArguments;
    if (params.compileCommands)
        m_features.buildOptions().compileCommands = *params.compileCommands;
    m_features.buildOptions().allowedCompilers << params.allowedCompilers;
    m_features.buildOptions().textFunctions << params.textFunctions;
    m_markdownHover = params.markdownHover;
    m_fileCheck.start();
    const QJsonObject server {{u"name"_s, u"velko-menu"_s},
                              {u"version"_s, QStringLiteral(VELKO_VERSION)}};
    return {QJsonObject {{u"capabilities"_s, QJsonDocument::fromJson(Capabilities).object()},
                         {u"serverInfo"_s, server}},
            QString()};
}

LspDispatcher::Answer LspDispatcher::shutdown(const LspNoParams &)
{
    m_state = State::ShutDown;
    m_debounce.stop();
    m_fileCheck.stop();
    m_pending.clear();
    return {};
}

LspDispatcher::Answer LspDispatcher::exit(const LspNoParams &)
{
    const bool orderly = m_state == State::ShutDown;
    m_state = State::Exited;
    m_debounce.stop();
    m_fileCheck.stop();
    emit exitRequested(orderly ? 0 : 1);
    return {};
}

LspDispatcher::Answer LspDispatcher::hover(const HoverParams &params)
{
    QString error;
    const LspDocument *open = m_documents.find(params.uri, &error);
    if (!open)
        return {QJsonValue(), error};
    const LspHover found = m_features.hover(*open, params.position);
    tellBuildProblem();
    if (!found.found)
        return {};
    const QJsonObject contents {{u"kind"_s, m_markdownHover ? u"markdown"_s : u"plaintext"_s},
                                {u"value"_s, m_markdownHover ? found.markdown : found.plainText}};
    return {QJsonObject {{u"contents"_s, contents},
                         {u"range"_s, rangeJson(*open, found.begin, found.end)}},
            QString()};
}

LspDispatcher::Answer LspDispatcher::didOpen(const DidOpenParams &params)
{
    m_documents.open(params);
    // Opening is no typing: its findings go out at once, and edits of the
    // same document held back until now are in this text already.
    m_pending.remove(params.uri);
    publishDiagnostics(params.uri);
    return {};
}

LspDispatcher::Answer LspDispatcher::didChange(const DidChangeParams &params)
{
    const QString error = m_documents.change(params);
    if (!error.isEmpty())
        return {QJsonValue(), error};
    schedule(params.uri);
    scheduleIncluders(params.uri);
    return {};
}

LspDispatcher::Answer LspDispatcher::didSave(const TextDocumentParams &params)
{
    QString error;
    LspDocument *open = m_documents.find(params.uri, &error);
    if (!open)
        return {QJsonValue(), error};
    if (params.text)
        open->setText(*params.text);
    // Values typed into the pane meanwhile show in the findings after a save.
    m_features.reloadValues();
    schedule(params.uri);
    return {};
}

LspDispatcher::Answer LspDispatcher::didClose(const TextDocumentParams &params)
{
    QString error;
    if (!m_documents.find(params.uri, &error))
        return {QJsonValue(), error};
    // The documents that include it read the file on disk again.
    scheduleIncluders(params.uri);
    m_documents.close(params.uri);
    m_features.forget(params.uri);
    m_pending.remove(params.uri);
    notify(u"textDocument/publishDiagnostics"_s,
           {{u"uri"_s, params.uri}, {u"diagnostics"_s, QJsonArray()}});
    return {};
}

void LspDispatcher::schedule(const QString &uri)
{
    m_pending.insert(uri);
    m_due = m_now() + DebounceMilliseconds;
    m_debounce.start(DebounceMilliseconds);
}

void LspDispatcher::scheduleIncluders(const QString &uri)
{
    // What a header holds changes what the documents that include it show.
    for (const QString &includer : m_features.includers(m_documents.find(uri)->path())) {
        if (includer != uri)
            schedule(includer);
    }
}

void LspDispatcher::checkFiles()
{
    if (m_state != State::Running)
        return;
    for (const QString &uri : m_features.takeOutOfDate())
        schedule(uri);
}

void LspDispatcher::publishDue()
{
    // A timer may run out a little early; the rest is waited for.
    if (const qint64 left = m_due - m_now(); left > 0)
        m_debounce.start(int(left));
    else
        publishPending();
}

void LspDispatcher::publishPending()
{
    QStringList uris(m_pending.cbegin(), m_pending.cend());
    m_pending.clear();
    std::sort(uris.begin(), uris.end());
    for (const QString &uri : uris)
        publishDiagnostics(uri);
}

void LspDispatcher::publishDiagnostics(const QString &uri)
{
    const LspDocument *open = m_documents.find(uri);
    if (!open)
        return;
    QJsonArray diagnostics;
    for (const Diagnostic &diagnostic : m_features.diagnostics(*open)) {
        const int severity = diagnostic.severity == Diagnostic::Severity::Error ? SeverityError
                : diagnostic.severity == Diagnostic::Severity::Warning          ? SeverityWarning
                                                                       : SeverityInformation;
        QJsonObject item {{u"range"_s, rangeJson(*open, diagnostic.begin, diagnostic.end)},
                          {u"severity"_s, severity},
                          {u"source"_s, u"velko-menu"_s},
                          {u"message"_s, diagnostic.message}};
        if (!diagnostic.relatedFile.isEmpty()) {
            const QJsonObject at {{u"line"_s, diagnostic.relatedLine - 1},
                                  {u"character"_s, diagnostic.relatedColumn - 1}};
            item.insert(
                    u"relatedInformation"_s,
                    QJsonArray {QJsonObject {
                            {u"location"_s,
                             QJsonObject {
                                     {u"uri"_s,
                                      QUrl::fromLocalFile(diagnostic.relatedFile).toString()},
                                     {u"range"_s, QJsonObject {{u"start"_s, at}, {u"end"_s, at}}}}},
                            {u"message"_s, diagnostic.relatedMessage}}});
        }
        diagnostics.append(item);
    }
    tellBuildProblem();
    notify(u"textDocument/publishDiagnostics"_s,
           {{u"uri"_s, uri}, {u"version"_s, open->version()}, {u"diagnostics"_s, diagnostics}});
}

void LspDispatcher::tellBuildProblem()
{
    if (const QString problem = m_features.takeBuildProblem(); !problem.isEmpty())
        notify(u"window/logMessage"_s, {{u"type"_s, LogWarning}, {u"message"_s, problem}});
}

void LspDispatcher::replyError(const QJsonValue &id, int code, const QString &message)
{
    write({{u"id"_s, id}, {u"error"_s, QJsonObject {{u"code"_s, code}, {u"message"_s, message}}}});
}

void LspDispatcher::notify(const QString &method, const QJsonObject &params)
{
    write({{u"method"_s, method}, {u"params"_s, params}});
}

void LspDispatcher::write(QJsonObject message)
{
    message.insert(u"jsonrpc"_s, u"2.0"_s);
    emit send(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

} // namespace VelkoMenuView
