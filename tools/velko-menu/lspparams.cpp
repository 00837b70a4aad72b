// A value of the wrong type counts as absent, so that what a client leaves
// out and what it gets wrong are told alike.
#include "lspparams.h"

#include <QJsonArray>

#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

namespace VelkoMenuView {

namespace {

// A whole number from `min` up to the protocol's integer maximum.
std::optional<qint64> readInteger(const QJsonValue &value, qint64 min)
{
    const double d = value.toDouble();
    if (!value.isDouble() || d < double(min) || d > double(INT_MAX) || d != std::floor(d))
        return std::nullopt;
    return qint64(d);
}

bool readPosition(const QJsonValue &value, LspPosition *position)
{
    const std::optional<qint64> line = readInteger(value[u"line"], 0);
    const std::optional<qint64> character = readInteger(value[u"character"], 0);
    *position = {line.value_or(0), character.value_or(0)};
    return line && character;
}

QString readUri(const QJsonValue &json, QString *uri)
{
    *uri = json[u"textDocument"][u"uri"].toString();
    return uri->isEmpty() ? u"no textDocument.uri"_s : QString();
}

} // namespace

QString readParams(const QJsonValue &json, InitializeParams *params)
{
    if (!json.isObject())
        return u"initialize needs its params object"_s;
    // {"defines": ["NAME=VALUE", ...], "undefines": [...], "includePaths": [...],
    //  "compileCommands": "FILE", "queryDriver": "GLOB,..." or [...],
    //  "textFunctions": ["NAME", ...]}
    const QJsonValue options = json[u"initializationOptions"];
    for (const auto &[key, option] : {std::pair(u"defines", u"-D"), std::pair(u"undefines", u"-U"),
                                      std::pair(u"includePaths", u"-I")}) {
        for (const QJsonValue value : options[key].toArray()) {
            if (!value.toString().isEmpty())
                params->buildArguments << QString::fromUtf16(option) << value.toString();
        }
    }
    if (options[u"compileCommands"].isString())
        params->compileCommands = options[u"compileCommands"].toString();
    const QJsonValue drivers = options[u"queryDriver"];
    if (drivers.isString())
        params->allowedCompilers = drivers.toString().split(u',', Qt::SkipEmptyParts);
    for (const QJsonValue value : drivers.toArray())
        params->allowedCompilers << value.toString();
    for (const QJsonValue value : options[u"textFunctions"].toArray()) {
        if (!value.toString().isEmpty())
            params->textFunctions << value.toString();
    }
    const QJsonValue formats = json[u"capabilities"][u"textDocument"][u"hover"][u"contentFormat"];
    params->markdownHover = !formats.isArray() || formats.toArray().contains(u"markdown"_s);
    return QString();
}

QString readParams(const QJsonValue &json, DidOpenParams *params)
{
    const QJsonValue item = json[u"textDocument"];
    params->uri = item[u"uri"].toString();
    params->text = item[u"text"].toString();
    params->version = int(readInteger(item[u"version"], INT_MIN).value_or(0));
    return params->uri.isEmpty() || !item[u"text"].isString()
            ? u"textDocument needs a uri and a text"_s
            : QString();
}

QString readParams(const QJsonValue &json, DidChangeParams *params)
{
    if (const auto version = readInteger(json[u"textDocument"][u"version"], INT_MIN))
        params->version = int(*version);
    if (json[u"contentChanges"].isArray())
        params->changes.emplace();
    for (const QJsonValue item : json[u"contentChanges"].toArray()) {
        LspContentChange change;
        change.text = item[u"text"].toString();
        change.whole = item[u"range"].isUndefined();
        const bool ranged = readPosition(item[u"range"][u"start"], &change.start)
                && readPosition(item[u"range"][u"end"], &change.end);
        if (!item[u"text"].isString())
            change.fault = u"it has no text"_s;
        else if (!change.whole && !ranged)
            change.fault = u"its range needs start and end positions of non-negative integers"_s;
        params->changes->append(change);
    }
    return readUri(json, &params->uri);
}

QString readParams(const QJsonValue &json, TextDocumentParams *params)
{
    if (json[u"text"].isString())
        params->text = json[u"text"].toString();
    return readUri(json, &params->uri);
}

QString readParams(const QJsonValue &json, HoverParams *params)
{
    if (!readPosition(json[u"position"], &params->position))
        return u"hover needs a position of two non-negative integers"_s;
    return readUri(json, &params->uri);
}

} // namespace VelkoMenuView
