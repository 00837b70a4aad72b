// The C preprocessor's macro expansion, as C17 6.10.3 and gcc's extensions
// have it: object-like and function-like macros, arguments expanded before
// they are put in, "#" and "##", variadic macros with __VA_ARGS__, named
// ones, gcc's ", ## __VA_ARGS__" and __VA_OPT__, the predefined macros that
// change as the text is read, and no macro ever expanded again inside its own
// expansion (hide sets, as Prosser's algorithm keeps them). Every use of
// macros in the reader comes through here: conditions, computed includes,
// string expressions, declarations and the code a client watches.
#pragma once

#include "creader/pptoken.h"

#include <QDateTime>

#include <functional>
#include <memory>

namespace VelkoMenuView {

class MacroTable;
struct MacroDefinition;

// Where a place of a source is, as __FILE__, __LINE__ and
// __INCLUDE_LEVEL__ name it.
struct SourcePlace
{
    QString file;
    qint64 line = 1;
    int includeLevel = 0;
};

class MacroExpander
{
public:
    // What the expansion asks of the text being read.
    struct Environment
    {
        const MacroTable *macros = nullptr; // none: nothing is a macro
        qsizetype use = -1; // macros as they stand there...
        qsizetype limit = -1; // ...and, in a header, as its first `limit` directives left them
        // Names handed on unexpanded, whatever they are defined as.
        std::function<bool(QStringView)> isTerminal;
        // __FILE__, __LINE__ and __INCLUDE_LEVEL__ of a place.
        std::function<SourcePlace(QStringView text, qsizetype at)> placeOf;
        QString baseFile; // __BASE_FILE__
        qint64 counter = 0; // what __COUNTER__ gives first
        QDateTime now; // __DATE__ and __TIME__; invalid: the moment of expanding
        // Where the texts of made tokens are kept, for tokens that outlive
        // the expander; none: they go with it.
        std::shared_ptr<TokenTexts> texts;
    };

    // The tokens expansion reads, one by one; an End token after the last.
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual PPToken next() = 0;
    };

    // Why an expansion is not what the compiler makes of the text.
    enum class Failure : quint8 {
        None,
        TooLarge, // deeper or longer than the expander follows
        Refused, // what the compiler reports as an error: refusal() says which
    };

    MacroExpander(const Environment &environment, Source *source);
    MacroExpander(const Environment &environment, const PPTokens &tokens);
    ~MacroExpander();
    MacroExpander(const MacroExpander &) = delete;
    MacroExpander &operator=(const MacroExpander &) = delete;

    // The next token with its macros expanded; End after the last.
    PPToken next();
    // The next token as it stands, not expanded (the operand of `defined`).
    PPToken nextRaw();
    // After a terminal name or a function-like macro's: its parenthesised
    // arguments as they stand, apart at the commas outside nested
    // parentheses, and the ")". False, with nothing taken, when no "("
    // follows; false too when the text ends first.
    bool arguments(QList<PPTokens> *arguments, PPToken *close);

    // Every token of `tokens`, expanded; tokens it makes live as long as
    // environment.texts, which must be given.
    static PPTokens expandAll(const Environment &environment, const PPTokens &tokens);

    Failure failure() const;
    QString refusal() const;
    // Whether tokens of an expansion are still to be read: without, the next
    // comes from the source (or was read from it ahead, and put back).
    bool expandingMacros() const;
    // The first of the source's tokens read ahead and put back, by its
    // place in `text`; -1 when none waits.
    qsizetype putBackFrom(QStringView text) const;
    // __COUNTER__'s next value after what has been expanded.
    qint64 counter() const;
    // The macro definitions expanded, in order, each once.
    QList<const MacroDefinition *> expanded() const;

    // `tokens` as written, white space as one space where the tokens had some.
    static QString spelled(const PPTokens &tokens);

private:
    struct Session;
    struct Frame
    {
        PPTokens tokens;
        qsizetype next = 0;
        bool putBack = false; // tokens read ahead, not an expansion's
    };
    MacroExpander(Session *session, const PPTokens &tokens);

    PPToken take();
    void pushBack(const PPToken &token);
    PPToken nextPadded();
    bool expandBuiltin(const PPToken &name, QStringView spelling);
    PPTokens expandArgument(const PPTokens &argument);
    PPTokens substitute(qint32 definition, const PPToken &name, const QList<PPTokens> &arguments,
                        bool variadicGiven, quint32 hide);
    bool push(PPTokens tokens);

    std::unique_ptr<Session> m_ownSession;
    Session *m_session;
    Source *m_source = nullptr;
    QList<Frame> m_frames;
    PPTokens m_commas; // those of the last argument list collected
};

// Reads a text's tokens from `begin` to `end`, or to the end of the logical
// line when `end` is -1; directive lines within are passed over.
class ScannedTokens : public MacroExpander::Source
{
public:
    ScannedTokens(QStringView text, qsizetype begin, qsizetype end);
    PPToken next() override;

private:
    CScanner m_lexer;
    qsizetype m_end;
    bool m_done = false;
};

} // namespace VelkoMenuView
