// The language server's protocol side: JSON-RPC messages in, replies and
// notifications out. A table takes each method to its handler, which gets
// its params read once; faults are answered alike whatever the method. It
// knows nothing of standard input and output, so that tests and the fuzzer
// drive it in-process.
#pragma once

#include "lspdocuments.h"
#include "lspfeatures.h"
#include "lspmessagereader.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>

namespace VelkoMenuView {

class LspDispatcher final : public QObject
{
    Q_OBJECT

public:
    // The quiet time after a document's last change before its findings go out.
    static constexpr int DebounceMilliseconds = 150;
    // How often the files on disk the open documents were read with are
    // looked at (the build's database, headers): a change shows within 2 s.
    static constexpr int FileCheckMilliseconds = 1000;

    explicit LspDispatcher(QObject *parent = nullptr);

    void setFixedTime(QTime time) { m_features.setFixedTime(time); }
    void setBuildOptions(const BuildOptions &options) { m_features.buildOptions() = options; }
    // The debounce's clock, in monotonic milliseconds; tests turn it by hand.
    void setClock(std::function<qint64()> now) { m_now = std::move(now); }

    void receive(const LspFrame &frame);
    void receive(const QByteArray &body);

    // What the debounce holds back goes out once the quiet time has passed, or at once.
    void publishDue();
    void publishPending();
    // Runs the checks on the document and publishes them; nothing when it is not open.
    void publishDiagnostics(const QString &uri);
    // Schedules the documents whose files on disk changed since they were read.
    void checkFiles();

    bool isShutDown() const { return m_state == State::ShutDown || m_state == State::Exited; }
    const LspDocument *document(const QString &uri) const { return m_documents.find(uri); }

signals:
    // One outgoing message body, to be framed and written.
    void send(const QByteArray &body);
    // The client sent "exit": 0 after "shutdown", 1 without.
    void exitRequested(int status);

private:
    enum class State { Uninitialized, Running, ShutDown, Exited };
    // A request's result, or why the params cannot be used: -32602 for a
    // request, a window/logMessage for a notification.
    struct Answer
    {
        QJsonValue result;
        QString error;
    };
    using Table = QHash<QString, std::function<Answer(const QJsonValue &)>>;

    template<typename Params>
    void bind(Table &table, const QString &method, Answer (LspDispatcher::*handler)(const Params &))
    {
        table.insert(method, [this, handler](const QJsonValue &json) {
            Params params;
            const QString error = readParams(json, &params);
            return error.isEmpty() ? (this->*handler)(params) : Answer {QJsonValue(), error};
        });
    }

    void request(const QJsonValue &id, const QString &method, const QJsonValue &params);
    void notification(const QString &method, const QJsonValue &params);
    Answer initialize(const InitializeParams &params);
    Answer shutdown(const LspNoParams &);
    Answer exit(const LspNoParams &);
    Answer hover(const HoverParams &params);
    Answer didOpen(const DidOpenParams &params);
    Answer didChange(const DidChangeParams &params);
    Answer didSave(const TextDocumentParams &params);
    Answer didClose(const TextDocumentParams &params);
    void schedule(const QString &uri);
    // Schedules the other open documents that include the open one at `uri`.
    void scheduleIncluders(const QString &uri);
    void tellBuildProblem();
    void replyError(const QJsonValue &id, int code, const QString &message);
    void notify(const QString &method, const QJsonObject &params);
    void write(QJsonObject message);

    State m_state = State::Uninitialized;
    Table m_requests;
    Table m_notifications;
    LspDocuments m_documents;
    LspFeatures m_features {m_documents};
    bool m_markdownHover = true;
    QSet<QString> m_pending;
    QTimer m_debounce;
    QTimer m_fileCheck;
    std::function<qint64()> m_now = [] { return QDeadlineTimer::current().deadline(); };
    qint64 m_due = 0;
};

} // namespace VelkoMenuView
