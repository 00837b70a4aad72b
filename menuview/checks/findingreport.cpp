// Compiler-format lines, SARIF and JSON. Artifact locations are relative to the folder the tool ran
// in when the file lies under it (code scanning resolves them against the
// checkout), absolute file URIs otherwise.
#include "menuview/checks/findingreport.h"

#include "creader/linemap.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

using namespace Qt::StringLiterals;
namespace VelkoMenuView {

namespace {

QJsonObject region(const PlacedFinding::Place &place)
{
    return {{u"startLine"_s, place.line},
            {u"startColumn"_s, place.column},
            {u"endLine"_s, place.endLine},
            {u"endColumn"_s, place.endColumn}};
}

QJsonObject artifactLocation(const QString &file)
{
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(file));
    const QString relative = QDir::current().relativeFilePath(absolute);
    if (relative.startsWith("../"_L1) || QDir::isAbsolutePath(relative))
        return {{u"uri"_s, QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)}};
    QUrl url;
    url.setPath(relative);
    return {{u"uri"_s, url.toString(QUrl::FullyEncoded)}, {u"uriBaseId"_s, u"%SRCROOT%"_s}};
}

QJsonObject physicalLocation(const QString &file, const PlacedFinding::Place &place)
{
    return {{u"physicalLocation"_s,
             QJsonObject {{u"artifactLocation"_s, artifactLocation(file)},
                          {u"region"_s, region(place)}}}};
}

QJsonArray sarifRules()
{
    QJsonArray rules;
    for (const FindingRuleInfo &info : findingRules()) {
        rules.append(QJsonObject {
                {u"id"_s, QString::fromLatin1(info.id)},
                {u"name"_s, QString::fromLatin1(info.name)},
                {u"shortDescription"_s, QJsonObject {{u"text"_s, QString::fromUtf8(info.summary)}}},
                {u"fullDescription"_s, QJsonObject {{u"text"_s, QString::fromUtf8(info.help)}}},
                {u"help"_s, QJsonObject {{u"text"_s, QString::fromUtf8(info.help)}}},
                {u"defaultConfiguration"_s,
                 QJsonObject {{u"level"_s, QString::fromLatin1(info.level)}}}});
    }
    return rules;
}

} // namespace

QString formatDiagnostic(const QString &file, const LineMap &lines, const Diagnostic &diagnostic)
{
    const TextPosition position = lines.position(diagnostic.begin);
    QString line
            = QStringLiteral("%1:%2:%3: %4: %5")
                      .arg(file, QString::number(position.line), QString::number(position.column),
                           severityName(diagnostic.severity), diagnostic.message);
    if (!diagnostic.relatedFile.isEmpty())
        line += QStringLiteral("\n%1:%2:%3: note: %4")
                        .arg(diagnostic.relatedFile, QString::number(diagnostic.relatedLine),
                             QString::number(diagnostic.relatedColumn), diagnostic.relatedMessage);
    return line;
}

QByteArray sarifReport(const QList<PlacedFinding> &findings, const QStringList &unreadable)
{
    QJsonArray results;
    for (const PlacedFinding &finding : findings) {
        const FindingRuleInfo &rule = findingRule(finding.rule);
        QJsonObject result {
                {u"ruleId"_s, QString::fromLatin1(rule.id)},
                {u"ruleIndex"_s, int(finding.rule)},
                {u"level"_s, QString(severityName(finding.severity))},
                {u"message"_s, QJsonObject {{u"text"_s, finding.message}}},
                {u"locations"_s, QJsonArray {physicalLocation(finding.file, finding.place)}}};
        QJsonArray related;
        for (const PlacedFinding::Related &place : finding.related) {
            QJsonObject location = physicalLocation(finding.file, place.place);
            location.insert(u"id"_s, related.size());
            location.insert(u"message"_s, QJsonObject {{u"text"_s, place.message}});
            related.append(location);
        }
        if (!related.isEmpty())
            result.insert(u"relatedLocations"_s, related);
        results.append(result);
    }
    QJsonArray notifications;
    for (const QString &problem : unreadable)
        notifications.append(QJsonObject {{u"level"_s, u"error"_s},
                                          {u"message"_s, QJsonObject {{u"text"_s, problem}}}});
    QJsonObject invocation {{u"executionSuccessful"_s, unreadable.isEmpty()}};
    if (!notifications.isEmpty())
        invocation.insert(u"toolExecutionNotifications"_s, notifications);
    const QString base
            = QUrl::fromLocalFile(QDir::currentPath() + u'/').toString(QUrl::FullyEncoded);
    const QJsonObject driver {{u"name"_s, u"velko-menu"_s},
                              {u"version"_s, QStringLiteral(VELKO_VERSION)},
                              {u"semanticVersion"_s, QStringLiteral(VELKO_VERSION)},
                              {u"rules"_s, sarifRules()}};
    const QJsonObject run {{u"tool"_s, QJsonObject {{u"driver"_s, driver}}},
                           {u"originalUriBaseIds"_s,
                            QJsonObject {{u"%SRCROOT%"_s, QJsonObject {{u"uri"_s, base}}}}},
                           {u"columnKind"_s, u"utf16CodeUnits"_s},
                           {u"invocations"_s, QJsonArray {invocation}},
                           {u"results"_s, results}};
    const QJsonObject log {{u"$schema"_s, u"https://json.schemastore.org/sarif-2.1.0.json"_s},
                           {u"version"_s, u"2.1.0"_s},
                           {u"runs"_s, QJsonArray {run}}};
    return QJsonDocument(log).toJson(QJsonDocument::Indented);
}

QJsonObject findingJson(const PlacedFinding &finding)
{
    return {{u"file"_s, finding.file},
            {u"line"_s, finding.place.line},
            {u"column"_s, finding.place.column},
            {u"end"_s,
             QJsonObject {{u"line"_s, finding.place.endLine},
                          {u"column"_s, finding.place.endColumn}}},
            {u"severity"_s, QString(severityName(finding.severity))},
            {u"ruleId"_s, QString::fromLatin1(findingRule(finding.rule).id)},
            {u"message"_s, finding.message}};
}

QByteArray jsonReport(const QList<PlacedFinding> &findings)
{
    QJsonArray array;
    for (const PlacedFinding &finding : findings)
        array.append(findingJson(finding));
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace VelkoMenuView
