// Synthetic firmware sources for the benchmarks: ordinary C code around one
// menu or many, and the stored values the parameter store would hold for them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

enum class MenuPlace { Start, Middle, End };

struct BenchMenu
{
    QString name;
    QStringList itemTexts; // as the parser reads them (escapes decoded)
    QStringList storedItems; // items that get a value in the store
};

struct BenchDocument
{
    QByteArray text;
    int cursorLine = 1; // a line inside the menu the view shows
    QList<BenchMenu> menus;
};

// About `bytes` of code with one editable menu of twelve items at `place`;
// every item with a conversion has stored values.
BenchDocument oneMenuDocument(qsizetype bytes, MenuPlace place);

// About `bytes` of code with `menus` menus spread evenly; the cursor stands in
// the middle one. Every menu has stored values.
BenchDocument manyMenusDocument(qsizetype bytes, int menus);

// `document` with `#include` lines for `headers` headers of about
// `headerBytes` each, written into `folder` beside it, at its top.
BenchDocument withIncludes(const BenchDocument &document, const QString &folder, int headers,
                           qsizetype headerBytes);

// `document` with each item text a constant of a string table of about
// `headerBytes`, written into `folder` and included at its top, the items
// naming it through two levels of function-like wrappers.
BenchDocument withWrappedTexts(const BenchDocument &document, const QString &folder,
                               qsizetype headerBytes);

// The menu of 21 items the painting benchmark shows (title "Настройки").
BenchDocument paintDocument();

// Writes, in the store's key layout, the values of every menu of the document
// at `path` (when `kept`), and `removed` more item groups per menu whose items
// the text does not have (what pruning removes).
void storeValues(QSettings &settings, const QString &path, const BenchDocument &document, bool kept,
                 int removed);
