// Where the named string constants of a C text are defined, found as the
// compiler sees them: outside comments and literals.
#pragma once

#include "menuview/analysis/cscanner.h"

#include <QHash>
#include <QStringView>

namespace VelkoMenuView {

// A definition is an identifier followed directly by white space or "["
// (`#define NAME "..."`, `const char NAME[] = "..."`); its value is the
// string literal that comes next. The text is indexed lazily and only once,
// forwards, as far as the lookups ask: a walk over all menus of a text costs
// one pass, however many constants they name.
class ConstantIndex
{
public:
    explicit ConstantIndex(QStringView text)
        : m_text(text)
        , m_scanner(text)
    { }

    struct Definitions
    {
        qsizetype first = -1; // offset of the name in the first definition, -1 for none
        qsizetype second = -1; // a later one, -1 for none
    };

    // The live definitions of `name` that end before `before` (a name
    // directly at `before` is not followed by anything yet).
    Definitions find(QStringView name, qsizetype before);

    // Opening quote of the first string literal after `from` and before
    // `before`, or -1.
    qsizetype literalAfter(qsizetype from, qsizetype before) const;

    QStringView text() const { return m_text; }

private:
    void indexUpTo(qsizetype before);

    QStringView m_text;
    CScanner m_scanner;
    qsizetype m_indexedTo = 0;
    QHash<QStringView, Definitions> m_definitions;
};

} // namespace VelkoMenuView
