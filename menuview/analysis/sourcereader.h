// The one reader of C source, in two speeds over the same position: the
// tokens of code as the preprocessor hands them on (directives taken out and
// recorded), and a quick pass that stops only at the menu keywords.
#pragma once

#include "menuview/analysis/cscanner.h"
#include "menuview/analysis/macrotable.h"
#include "menuview/analysis/menukeywords.h"

#include <QList>
#include <QStringView>

namespace VelkoMenuView {

// What reading a text has learnt, shared by the readers of that text: they
// record it once, in the order of the text, however often they pass.
struct SourceFacts
{
    MacroTable macros;
    // Logical line starts in code (not in a comment), ascending: a few, as
    // places to start reading from.
    QList<qsizetype> lineStarts {0};
    qsizetype readTo = 0; // everything before this is recorded

    // A place at or before `pos` where reading can start afresh: a logical
    // line start in code.
    qsizetype lineStartBefore(qsizetype pos) const;
};

struct KeywordHit
{
    MenuKeyword keyword = MenuKeyword::None; // None: no keyword left
    qsizetype begin = 0;
    qsizetype end = 0;
};

class SourceReader
{
public:
    enum class Recording {
        On, // record directives and lines in `facts`
        Off, // only look them up: the text is read from a place that may not be code
    };

    // `from` must lie between tokens; reading takes it for code. A reader
    // records only when it starts within what was read before (nothing is
    // left out between).
    SourceReader(QStringView text, qsizetype from, SourceFacts *facts,
                 Recording recording = Recording::On);

    // The next menu keyword in code that starts before `limit` (the text's
    // end by default).
    KeywordHit nextKeyword(qsizetype limit = -1);
    // The next token of code.
    Token nextToken();

    qsizetype position() const { return m_pos; }
    QStringView text() const { return m_text; }
    const CScanner &scanner() const { return m_lexer; }
    SourceFacts *facts() const { return m_facts; }

private:
    qsizetype skim(qsizetype stop, KeywordHit *hit, bool untilDirectiveEnd);
    qsizetype previousCharacter(qsizetype pos) const;
    qsizetype wordCharacterBefore(qsizetype pos) const;
    qsizetype wordStart(qsizetype pos, qsizetype boundary) const;
    qsizetype lineStart(qsizetype pos);
    qsizetype directive(qsizetype hash);
    void record(qsizetype hash, QStringView name, qsizetype nameAt, qsizetype body,
                MacroDefinition::Kind kind);
    void finishDirective();
    bool recording(qsizetype pos) const { return m_record && pos >= m_facts->readTo; }
    void noteRead(qsizetype pos);

    QStringView m_text;
    SourceFacts *m_facts;
    bool m_record;
    qsizetype m_pos;
    bool m_atLineStart;
    bool m_inDirective = false;
    static constexpr qsizetype LineStartSpacing = 2048;
    qsizetype m_nextLineStart = LineStartSpacing;
    CScanner m_lexer;
};

} // namespace VelkoMenuView
