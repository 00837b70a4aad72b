// The parsed form of one menu definition, shared by the parser, the line
// formatter, the parameter store and the screen.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Kind of an item's parameters, decided by the first printf conversion in its text.
enum class ParamType : qint32 { None = 0, Integer = 1, Real = 2, String = 3 };

struct ParamInfo
{
    ParamType type;
    qint32 count; // conversions in the item text; 0 for ParamType::None
};

// Filled in stages: the pane sets source and preamble, the parser name,
// title and itemTexts, the parameter store paramValues and the formatter
// itemLines and itemParams. Only the formatter keeps the four item lists in step.
struct MenuDefinition
{
    QString source; // from the opening keyword to the end of the document
    QString preamble; // the document before the opening keyword
    QString name;
    QString title; // as written in the source, escapes not decoded
    QStringList itemTexts;
    QStringList itemLines;
    QList<ParamInfo> itemParams;
    QList<QStringList> paramValues; // at most three strings per item
};
