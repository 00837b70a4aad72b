// The parameters of the methods the language server takes, read once from
// their JSON: what a client may leave out is optional, what a handler cannot
// do without makes the reading fail with the reason.
#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Lines and characters from 0, characters in UTF-16 code units.
struct LspPosition
{
    qint64 line = 0;
    qint64 character = 0;
};

struct LspRange
{
    LspPosition start;
    LspPosition end;
};

struct LspNoParams
{
};

struct InitializeParams
{
    QStringList buildArguments; // -D, -U and -I from initializationOptions
    std::optional<QString> compileCommands;
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
    std::optional<LspRange> range; // none: the whole text
    QString fault; // why it cannot be applied, told once the document is known
};

struct DidChangeParams
{
    QString uri;
    std::optional<int> version;
    std::optional<QList<LspContentChange>> changes; // none: no contentChanges array
};

struct DidSaveParams
{
    QString uri;
    std::optional<QString> text;
};

struct TextDocumentParams
{
    QString uri;
};

struct HoverParams
{
    QString uri;
    LspPosition position;
};

// Each reads `json` into `params`: empty, or why the params cannot be used.
QString readParams(const QJsonValue &json, LspNoParams *params);
QString readParams(const QJsonValue &json, InitializeParams *params);
QString readParams(const QJsonValue &json, DidOpenParams *params);
QString readParams(const QJsonValue &json, DidChangeParams *params);
QString readParams(const QJsonValue &json, DidSaveParams *params);
QString readParams(const QJsonValue &json, TextDocumentParams *params);
QString readParams(const QJsonValue &json, HoverParams *params);
