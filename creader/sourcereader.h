// The one reader of C source, in two speeds over the same position: the
// tokens of code as the preprocessor hands them on (directives taken out and
// obeyed: macros recorded, headers read, conditional groups decided), and a
// quick pass that stops only at its client's keywords.
#pragma once

#include "creader/buildconfiguration.h"
#include "creader/cscanner.h"
#include "creader/includefiles.h"
#include "creader/keywordset.h"
#include "creader/macroexpander.h"
#include "creader/macrotable.h"

#include <QList>
#include <QSet>
#include <QSharedPointer>
#include <QStringView>
#include <QVarLengthArray>

namespace VelkoMenuView {

// One level of #if ... #endif.
struct Conditional
{
    qsizetype opening = -1; // the directive of the group being read (#if, #elif, #else)
    bool parentActive = true; // the code around the #if is compiled
    bool active = true; // the group being read is compiled
    bool taken = false; // a group of the chain was taken
    bool elseSeen = false;
    // The directive of the outermost group, this one or one around it, that
    // is not compiled; -1 when all are.
    qsizetype inactiveFrom = -1;

    bool operator==(const Conditional &other) const
    {
        return opening == other.opening && parentActive == other.parentActive
                && active == other.active && taken == other.taken && elseSeen == other.elseSeen
                && inactiveFrom == other.inactiveFrom;
    }
};
using Conditionals = QList<Conditional>;

// What a conditional directive left open: the group it opened or went on
// with, and the record of the group around that one. The stack after each
// directive is a chain of records, so that directives nested N deep take
// room in proportion to N, not N squared.
struct ConditionRecord
{
    qsizetype at = -1; // the directive's "#"
    qsizetype top = -1; // the record (by its directive) of the innermost group open after it
    qsizetype parent = -1; // for a group opened or gone on with here: the record of the one around
    Conditional level; // that group (level.opening == at); unused after an #endif
    bool compiled = true; // the code after the directive is compiled

    bool operator==(const ConditionRecord &other) const
    {
        return at == other.at && top == other.top && parent == other.parent && level == other.level
                && compiled == other.compiled;
    }
};

struct KeywordHit
{
    int keyword = 0; // the keyword set's number for it; 0: no keyword left
    qsizetype begin = 0;
    qsizetype end = 0;
    // The directive of the outermost conditional group around it that is
    // not compiled; -1 when the keyword is.
    qsizetype inactiveGroup = -1;
    // Written by a macro: `begin` to `end` is the invocation that writes it,
    // the `piece`th keyword of those it writes.
    bool expanded = false;
    qint32 piece = 0;
    bool invocation = false; // the quick pass's own: a macro that may write keywords
    bool active() const { return inactiveGroup < 0; }
};

// A keyword a macro invocation writes, with the arguments that follow it
// there, as they stand.
struct KeywordCall
{
    int keyword = 0;
    bool called = false; // a "(" follows, and the ")" that balances it
    QList<PPTokens> arguments;
    std::shared_ptr<TokenTexts> texts; // of the tokens the expansion made
};

struct ReadingTail;

// The first two characters of names the quick pass stops at (the second
// 0: any).
using StopPairs = QVarLengthArray<std::pair<char16_t, char16_t>, 8>;

// What reading one text has learnt, shared by its readers: they record it
// once, in the order of the text, however often they pass.
struct TextRecord
{
    // Logical line starts in code (not in a comment), ascending: a few, as
    // places to start reading from.
    QList<qsizetype> lineStarts {0};
    // Each conditional directive, in order.
    QList<ConditionRecord> conditions;
    qsizetype readTo = 0; // everything before this is recorded
    // The keywords before keywordsTo, compiled or not, in order.
    QList<KeywordHit> keywords;
    qsizetype keywordsTo = 0;
    // For a header: the unit's macro directives recorded before it was read,
    // and after each of its own.
    qsizetype macroStart = 0;
    QList<std::pair<qsizetype, qsizetype>> macroMarks;
    // #line directives: the line after each is numbered `line`, in `file`
    // when one is named.
    struct LineMark
    {
        qsizetype from = 0; // the start of the line after the directive
        qint64 line = 1;
        QString file;
    };
    QList<LineMark> lineMarks;

    // A place at or before `pos` where reading can start afresh.
    qsizetype lineStartBefore(qsizetype pos) const;
    // The conditional groups open at `pos`, outermost first.
    Conditionals conditionsAt(qsizetype pos) const;
    // Whether the code at `pos` is compiled.
    bool isCompiled(qsizetype pos) const;
    // The unit's macro directives recorded when reading had come to `pos`.
    qsizetype macrosBefore(qsizetype pos) const;
    // Forgets what was learnt from `pos` on, a line start in code.
    void truncate(qsizetype pos);
};

// The predefined macros whose value changes as the text is read: a name
// `defined` and #ifdef take as defined.
bool isDynamicMacro(QStringView name);

// One #include as the preprocessor met it.
struct Inclusion
{
    qsizetype at = -1; // its directive in the text read; -1 for the command line's
    QString written; // "name" or <name>
    QString path; // the file found; empty when none was
    QString presumed; // its name as the compiler's __FILE__ spells it
    int level = 1; // how deep it is included
    QSharedPointer<const QString> text;
    QSharedPointer<TextRecord> facts; // of the header's own text
};

// How a text is read: where it is (quoted includes are looked for beside
// it), the build's options and open editors' unsaved texts.
struct ReadOptions
{
    QString path;
    BuildConfiguration configuration;
    IncludeFiles::OpenText openText;
    // Conditional groups, by their directive's "#", taken whatever their
    // condition says: code the developer edits in a branch not built.
    QList<qsizetype> forcedGroups;
    // Functions that return their argument, by name, beside gettext's.
    QStringList textFunctions;
};

// What reading a translation unit has learnt: the main text's facts, the
// macros of all its texts, the headers it includes.
struct UnitRecord : TextRecord
{
    KeywordSet keywordSet; // what the quick pass stops at
    MacroTable macros;
    QList<Inclusion> includes;
    // #error directives of groups taken: the compiler stops there.
    struct DirectiveError
    {
        qsizetype at = -1; // the directive, or the #include of the header that holds it
        QString message; // as written after #error
        QString file; // the header's, when it is in one
        qint64 line = 0; // there
    };
    QList<DirectiveError> errors;
    // __COUNTER__'s next value after each place of the main text that took
    // values from it, in order.
    QList<std::pair<qsizetype, qint64>> counters;
    qint64 counterAt(qsizetype pos) const;
    // Headers that said #pragma once, by the place in the main text where
    // they were first read.
    QList<std::pair<qsizetype, QString>> readOnce;
    ReadOptions context;
    // Names #defined in conditional groups the build leaves out, in the text
    // and its headers: another variant's definitions. Never forgotten, so
    // after edits a superset.
    QSet<QString> namesDefinedAside;
    // What was read beyond an edit, until reading comes to where it can go on.
    QSharedPointer<const ReadingTail> tail;

    bool isReadOnce(const QString &path) const;
    // The file, line and include level of a place in the main text or a header.
    SourcePlace placeOf(QStringView text, qsizetype at) const;
    // How macros are expanded at `use` of the main text: the macros then,
    // the predefined ones; `limit` as MacroTable::find takes it.
    MacroExpander::Environment environment(qsizetype use, qsizetype limit = -1) const;
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
    TextRecord facts; // line starts, conditional directives and keywords from the edit's end on
    QList<MacroDefinition> macros;
    QList<Inclusion> includes;
    QList<std::pair<qsizetype, QString>> readOnce;
    // How many of each the new reading had when the tail was set aside: what
    // it records beyond them must be what the tail holds.
    qsizetype conditionsKept = 0;
    qsizetype macrosKept = 0;
    qsizetype includesKept = 0;
    qsizetype readOnceKept = 0;
};

class SourceReader
{
public:
    enum class Recording {
        On, // record directives and lines in `facts`
        // Only look them up: the text is read from a place that may not be
        // code (inside a comment), and every conditional group counts.
        Off,
    };

    // Reads the main text of `facts`, never null, from `from`, which must lie
    // between tokens; reading takes it for code. A reader records only when it starts
    // within what was read before (nothing is left out between).
    SourceReader(QStringView text, qsizetype from, UnitRecord *facts,
                 Recording recording = Recording::On);

    // Reads the command line's definitions and forced includes into `facts`,
    // before its text.
    static void readPredefined(UnitRecord *facts);

    // The next keyword that starts before `limit` (the text's end by
    // default), compiled or not.
    KeywordHit nextKeyword(qsizetype limit = -1);
    // The next token of compiled code.
    Token nextToken();

    qsizetype position() const { return m_pos; }
    QStringView text() const { return m_text; }
    // How many directives nextToken() has passed over.
    qsizetype directivesPassed() const { return m_directivesPassed; }
    // The keyword set's number for a token of the text; 0 for any other.
    int keywordOf(const Token &token) const;
    // The outermost conditional group, open where the reader stands, that
    // is not compiled; -1 when the code there is.
    qsizetype inactiveGroup() const;
    // The keywords that the macro invocation at `begin` (a name of
    // code) writes, in order; *end: past the invocation's last token, where
    // the reader then stands.
    QList<KeywordCall> expandInvocation(qsizetype begin, qsizetype *end);

private:
    // Reading a header for the unit, or the command line.
    struct Header
    {
        qsizetype recordAt = -1; // where its definitions count in the main text
        QString path;
        QString presumed; // as __FILE__ names it
        QString folder; // the include folder it was found in, for #include_next
        QStringList stack; // the headers being read, outermost first
    };
    SourceReader(QStringView text, TextRecord *facts, UnitRecord *unit, const Header &header);

    qsizetype skim(qsizetype stop, KeywordHit *hit, bool untilDirectiveEnd);
    // Goes on at `pos` in code, read before.
    void jumpTo(qsizetype pos, bool atLineStart);
    qsizetype lineStart(qsizetype pos);
    qsizetype directive(qsizetype hash);
    qsizetype conditional(qsizetype hash, QStringView word, CScanner &lexer);
    void include(qsizetype hash, CScanner &lexer, bool next);
    void lineDirective(qsizetype hash, CScanner &lexer, bool marker);
    void errorDirective(qsizetype hash, qsizetype afterName);
    // How the directive at `hash` expands macros.
    MacroExpander::Environment environment(qsizetype hash) const;
    // Where #include finds `name`; *folder, unless null: the include folder it is in.
    QString findHeader(const QString &name, bool quoted, bool next, QString *folder) const;
    void readAll();
    // A #define, or #undef (kind Undefined), of `name`: outside the build, a
    // name defined aside.
    void record(qsizetype hash, QStringView name, qsizetype nameAt, qsizetype body,
                MacroDefinition::Kind kind);
    void finishDirective();
    bool active() const
    {
        return m_allGroups || m_conditions.isEmpty() || m_conditions.constLast().active;
    }
    bool recording(qsizetype pos) const { return m_record && pos >= m_facts->readTo; }
    void updatePairs();
    void finishDefinition();
    KeywordHit takeInvocation(const KeywordHit &hit);
    // Where macros are looked up for a directive at `hash`.
    qsizetype lookupAt(qsizetype hash) const { return m_header ? m_headerInfo.recordAt + 1 : hash; }
    void noteRead(qsizetype pos);

    QStringView m_text;
    TextRecord *m_facts;
    UnitRecord *m_unit;
    bool m_record;
    bool m_header = false;
    Header m_headerInfo;
    qsizetype m_pos = 0;
    bool m_atLineStart = true;
    bool m_inDirective = false;
    // Reading a macro invocation's arguments: no place within is one to
    // read from again, as the invocation would be cut.
    bool m_inInvocation = false;
    bool m_allGroups = false;
    Conditionals m_conditions;
    static constexpr qsizetype LineStartSpacing = 2048;
    qsizetype m_nextLineStart = LineStartSpacing;
    qsizetype m_resumeTried = -1; // the last line start of the facts' tail tried
    qsizetype m_directivesPassed = 0;
    // The macros the quick pass stops at, as of the table's revision.
    StopPairs m_pairs;
    quint64 m_pairsRevision = ~quint64(0);
    // The #define being passed over: its index in the table, where its
    // replacement list starts, whether a watched word stands there.
    qsizetype m_definition = -1;
    qsizetype m_bodyFrom = -1;
    bool m_bodyWatched = false;
    QList<KeywordHit> m_pending; // the rest of an invocation's keywords
    CScanner m_lexer;
};

} // namespace VelkoMenuView
