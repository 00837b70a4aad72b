// The language server's protocol side: JSON-RPC messages in, replies and
// notifications out, the open documents and their debounced diagnostics.
// It knows nothing of standard input and output, so that tests and the
// fuzzer drive it in-process.
#pragma once

#include "lspdocument.h"
#include "options.h"

#include "menuview/analysis/sourcereader.h"
#include "lspmessagereader.h"

#include "menuview/params/parameterstore.h"

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QSet>
#include <QTime>
#include <QTimer>

#include <memory>

class QSettings;

class LspSession : public QObject
{
    Q_OBJECT

public:
    enum ErrorCode {
        ParseError = -32700,
        InvalidRequest = -32600,
        MethodNotFound = -32601,
        InvalidParams = -32602,
        ServerNotInitialized = -32002,
    };

    static constexpr int DefaultDebounceMilliseconds = 150;

    explicit LspSession(QObject *parent = nullptr);
    ~LspSession() override;

    // The quiet time after a document's last change before its findings go out.
    void setDebounceInterval(int milliseconds) { m_debounce.setInterval(milliseconds); }
    // The hover screens' clock; an invalid time means the local time.
    void setFixedTime(QTime time) { m_fixedTime = time; }
    // The build's options from the command line; the client's
    // initializationOptions add to them.
    void setBuildOptions(const BuildOptions &options) { m_build = options; }

    void receive(const LspFrame &frame);
    void receive(const QByteArray &body);

    // Publishes at once what the debounce holds back.
    void publishPending();
    // Runs the checks on the document and publishes them; nothing when it is not open.
    void publishDiagnostics(const QString &uri);

    bool isShutDown() const { return m_state == State::ShutDown || m_state == State::Exited; }
    bool hasExited() const { return m_state == State::Exited; }
    const LspDocument *document(const QString &uri) const;

signals:
    // One outgoing message body, to be framed and written.
    void send(const QByteArray &body);
    // The client sent "exit": 0 after "shutdown", 1 without.
    void exitRequested(int status);

private:
    enum class State { Uninitialized, Running, ShutDown, Exited };

    void request(const QJsonValue &id, const QString &method, const QJsonValue &params);
    void notification(const QString &method, const QJsonValue &params);
    QJsonObject initialize(const QJsonObject &params);
    bool hover(const QJsonObject &params, QJsonValue *result, QString *error);
    // Why the notification was ignored, or nothing.
    QString didOpen(const QJsonObject &params);
    QString didChange(LspDocument &open, const QJsonObject &params);
    void didSave(LspDocument &open, const QJsonObject &params);
    void didClose(const QString &uri);
    LspDocument *openDocument(const QJsonObject &params, QString *error);
    void schedule(const QString &uri);
    // How a document is read: its path, the build's options, the unsaved
    // texts of the other open documents.
    VelkoMenuView::SourceContext contextFor(const LspDocument &open);

    void reply(const QJsonValue &id, const QJsonValue &result);
    void replyError(const QJsonValue &id, int code, const QString &message);
    void notify(const QString &method, const QJsonObject &params);
    void write(const QJsonObject &message);

    State m_state = State::Uninitialized;
    std::unique_ptr<QSettings> m_settings;
    VelkoMenuView::ParameterStore m_store;
    QHash<QString, LspDocument> m_documents;
    QSet<QString> m_pending;
    QTimer m_debounce;
    QTime m_fixedTime;
    bool m_markdownHover = true;
    BuildOptions m_build;
    bool m_buildProblemTold = false;
};
