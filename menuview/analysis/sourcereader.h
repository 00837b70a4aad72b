// The one reader of C source, in two speeds over the same position: the
// tokens of code as the preprocessor hands them on (directives taken out and
// obeyed: macros recorded, headers read, conditional groups decided), and a
// quick pass that stops only at the menu keywords.
#pragma once

#include "menuview/analysis/buildconfiguration.h"
#include "menuview/analysis/cscanner.h"
#include "menuview/analysis/includefiles.h"
#include "menuview/analysis/macrotable.h"
#include "menuview/analysis/menukeywords.h"

#include <QList>
#include <QSet>
#include <QSharedPointer>
#include <QStringView>

namespace VelkoMenuView {

// One level of #if ... #endif.
struct Conditional
{
    qsizetype opening = -1; // the directive of the group being read (#if, #elif, #else)
    bool parentActive = true; // the code around the #if is compiled
    bool active = true; // the group being read is compiled
    bool taken = false; // a group of the chain was taken
    bool elseSeen = false;

    bool operator==(const Conditional &other) const
    {
        return opening == other.opening && parentActive == other.parentActive
                && active == other.active && taken == other.taken && elseSeen == other.elseSeen;
    }
};
using Conditionals = QList<Conditional>;

struct KeywordHit
{
    MenuKeyword keyword = MenuKeyword::None; // None: no keyword left
    qsizetype begin = 0;
    qsizetype end = 0;
    // The directive of the outermost conditional group around it that is
    // not compiled; -1 when the keyword is.
    qsizetype inactiveGroup = -1;
    bool active() const { return inactiveGroup < 0; }
};

struct ReadingTail;

// What reading one text has learnt, shared by its readers: they record it
// once, in the order of the text, however often they pass.
struct TextFacts
{
    // Logical line starts in code (not in a comment), ascending: a few, as
    // places to start reading from.
    QList<qsizetype> lineStarts {0};
    // The conditional groups open after each conditional directive.
    QList<std::pair<qsizetype, Conditionals>> conditions;
    qsizetype readTo = 0; // everything before this is recorded
    // The menu keywords before keywordsTo, compiled or not, in order.
    QList<KeywordHit> keywords;
    qsizetype keywordsTo = 0;
    // For a header: the unit's macro directives recorded before it was read,
    // and after each of its own.
    qsizetype macroStart = 0;
    QList<std::pair<qsizetype, qsizetype>> macroMarks;

    // A place at or before `pos` where reading can start afresh.
    qsizetype lineStartBefore(qsizetype pos) const;
    // The conditional groups open at `pos`.
    Conditionals conditionsAt(qsizetype pos) const;
    // Whether the code at `pos` is compiled.
    bool isCompiled(qsizetype pos) const;
    // The unit's macro directives recorded when reading had come to `pos`.
    qsizetype macrosBefore(qsizetype pos) const;
    // Forgets what was learnt from `pos` on, a line start in code.
    void truncate(qsizetype pos);
};

// One #include as the preprocessor met it.
struct Inclusion
{
    qsizetype at = -1; // its directive in the text read; -1 for the command line's
    QString written; // "name" or <name>
    QString path; // the file found; empty when none was
    QSharedPointer<const QString> text;
    QSharedPointer<TextFacts> facts; // of the header's own text
};

// How a text is read: where it is (quoted includes are looked for beside
// it), the build's options and open editors' unsaved texts.
struct SourceContext
{
    QString path;
    BuildConfiguration configuration;
    IncludeFiles::OpenText openText;
    // Conditional groups, by their directive's "#", taken whatever their
    // condition says: a menu the developer edits in a branch not built.
    QList<qsizetype> forcedGroups;
};

// What reading a translation unit has learnt: the main text's facts, the
// macros of all its texts, the headers it includes.
struct SourceFacts : TextFacts
{
    MacroTable macros;
    QList<Inclusion> includes;
    // Headers that said #pragma once, by the place in the main text where
    // they were first read.
    QList<std::pair<qsizetype, QString>> readOnce;
    SourceContext context;
    // Names #defined in conditional groups the build leaves out, in the text
    // and its headers: another variant's definitions. Never forgotten, so
    // after edits a superset.
    QSet<QString> namesDefinedAside;
    // What was read beyond an edit, until reading comes to where it can go on.
    QSharedPointer<const ReadingTail> tail;

    bool isReadOnce(const QString &path) const;
    // Forgets what was learnt from `pos` on in the main text, and moves
    // what stays from `oldText` to `newText`, the same up to `pos`.
    void truncate(qsizetype pos, QStringView oldText, QStringView newText);
    // The same for an edit that replaced `oldText` from `same` to `oldEnd`:
    // what was learnt beyond it is set aside, moved to `newText`, for
    // reading to take up again once it has come to a line start beyond the
    // edit in the state it had there.
    void setAside(qsizetype pos, qsizetype same, qsizetype oldEnd, QStringView oldText,
                  QStringView newText);
    // Takes up what was set aside when reading has come to `lineStart`, one
    // of the tail's line starts, having recorded there what the old reading
    // had; false, and the tail dropped when it never can be, otherwise.
    bool resume(qsizetype lineStart);
};

// What an old reading learnt beyond an edit, in the new text's positions.
struct ReadingTail
{
    TextFacts facts; // line starts, conditional directives and keywords from the edit's end on
    QList<MacroDefinition> macros;
    QList<Inclusion> includes;
    QList<std::pair<qsizetype, QString>> readOnce;
    // How many of each the new reading had when the tail was set aside: what
    // it records beyond them must be what the tail holds.
    qsizetype conditionsKept = 0;
    qsizetype macrosKept = 0;
    qsizetype includesKept = 0;
    qsizetype readOnceKept = 0;

    // The first of the tail's line starts after `pos`; -1 when none is.
    qsizetype lineStartAfter(qsizetype pos) const;
};

class SourceReader
{
public:
    enum class Recording {
        On, // record directives and lines in `facts`
        // Only look them up: the text is read from a place that may not be
        // code (a menu in a comment), and every conditional group counts.
        Off,
    };

    // Reads the main text of `facts` from `from`, which must lie between
    // tokens; reading takes it for code. A reader records only when it starts
    // within what was read before (nothing is left out between).
    SourceReader(QStringView text, qsizetype from, SourceFacts *facts,
                 Recording recording = Recording::On);

    // Reads the command line's definitions and forced includes into `facts`,
    // before its text.
    static void readPredefined(SourceFacts *facts);

    // The next menu keyword that starts before `limit` (the text's end by
    // default), compiled or not.
    KeywordHit nextKeyword(qsizetype limit = -1);
    // The next token of compiled code.
    Token nextToken();

    qsizetype position() const { return m_pos; }
    QStringView text() const { return m_text; }
    const CScanner &scanner() const { return m_lexer; }
    SourceFacts *facts() const { return m_unit; }
    // The outermost conditional group, open where the reader stands, that
    // is not compiled; -1 when the code there is.
    qsizetype inactiveGroup() const;

private:
    // Reading a header for the unit, or the command line.
    struct Header
    {
        qsizetype recordAt = -1; // where its definitions count in the main text
        QString path;
        QStringList stack; // the headers being read, outermost first
    };
    SourceReader(QStringView text, TextFacts *facts, SourceFacts *unit, const Header &header);

    qsizetype skim(qsizetype stop, KeywordHit *hit, bool untilDirectiveEnd);
    // Goes on at `pos` in code, read before.
    void jumpTo(qsizetype pos, bool atLineStart);
    qsizetype previousCharacter(qsizetype pos) const;
    qsizetype wordCharacterBefore(qsizetype pos) const;
    qsizetype wordStart(qsizetype pos, qsizetype boundary) const;
    qsizetype lineStart(qsizetype pos);
    qsizetype directive(qsizetype hash);
    qsizetype conditional(qsizetype hash, QStringView word, CScanner &lexer);
    void include(qsizetype hash, CScanner &lexer);
    void readAll();
    void record(qsizetype hash, QStringView name, qsizetype nameAt, qsizetype body,
                MacroDefinition::Kind kind);
    void finishDirective();
    bool active() const
    {
        return m_allGroups || m_conditions.isEmpty() || m_conditions.constLast().active;
    }
    bool recording(qsizetype pos) const { return m_record && pos >= m_facts->readTo; }
    // Where macros are looked up for a directive at `hash`.
    qsizetype lookupAt(qsizetype hash) const { return m_header ? m_headerInfo.recordAt + 1 : hash; }
    void noteRead(qsizetype pos);

    QStringView m_text;
    TextFacts *m_facts;
    SourceFacts *m_unit;
    bool m_record;
    bool m_header = false;
    Header m_headerInfo;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    bool m_inDirective = false;
    bool m_allGroups = false;
    Conditionals m_conditions;
    static constexpr qsizetype LineStartSpacing = 2048;
    qsizetype m_nextLineStart = LineStartSpacing;
    qsizetype m_resumeTried = -1; // the last line start of the facts' tail tried
    CScanner m_lexer;
};

} // namespace VelkoMenuView
