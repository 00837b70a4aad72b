// The params of the methods the language server takes, read once from their
// JSON: what a client may leave out is optional, and what a handler cannot
// do without fails the reading with the reason.
#pragma once

#include <QJsonValue>
#include <QList>
#include <QStringList>

#include <optional>

namespace VelkoMenuView {

// Lines and characters from 0, characters in UTF-16 code units.
struct LspPosition
{
    qint64 line = 0;
    qint64 character = 0;
};

struct LspNoParams
{
};

struct InitializeParams
{
    QStringList buildArguments; // -D, -U and -I from initializationOptions
    std::optional<QString> compileCommands;
    QStringList allowedCompilers; // queryDriver: globs
    QStringList textFunctions;
    bool markdownHover = true;
};

struct DidOpenParams
{
    QString uri;
    QString text;
    int version = 0;
};

struct LspContentChange
{
    QString text;
    bool whole = true; // else from start to end
    LspPosition start;
    LspPosition end;
    QString fault; // why it cannot be applied, told once the document is known to be open
};

struct DidChangeParams
{
    QString uri;
    std::optional<int> version;
    std::optional<QList<LspContentChange>> changes; // none without a contentChanges array
};

// didSave (with the text when the client includes it) and didClose.
struct TextDocumentParams
{
    QString uri;
    std::optional<QString> text;
};

struct HoverParams
{
    QString uri;
    LspPosition position;
};

// Each is empty when `json` is read into `params`, else why it cannot be.
inline QString readParams(const QJsonValue &, LspNoParams *)
{
    return QString();
}
QString readParams(const QJsonValue &json, InitializeParams *params);
QString readParams(const QJsonValue &json, DidOpenParams *params);
QString readParams(const QJsonValue &json, DidChangeParams *params);
QString readParams(const QJsonValue &json, TextDocumentParams *params);
QString readParams(const QJsonValue &json, HoverParams *params);

} // namespace VelkoMenuView
