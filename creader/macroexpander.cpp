// Expansion pulls tokens: a frame per expansion holds the tokens still to be
// read again, the source the rest. Each token carries its hide set; a
// function-like macro's result takes the hide sets its name and ")" share
// plus its own name (Prosser). Padding tokens stand for the white space
// around expansions as gcc's do, so that "#" spells what gcc spells.
#include "creader/macroexpander.h"

#include "creader/bracketdepth.h"
#include "creader/macrotable.h"

#include <QHash>

#include <algorithm>
#include <deque>

namespace VelkoMenuView {

namespace {

// Bounds that keep a pathological text from taking the reader with it: `A`
// defined as `A0 A0`, `A0` as `A1 A1`... doubles with each level.
constexpr qsizetype MaxTokens = 1 << 18; // produced by one expansion in all
constexpr int MaxDepth = 200; // arguments expanded within arguments
constexpr qsizetype MaxFrames = 1 << 14;

} // namespace

struct MacroExpander::Session
{
    Environment environment;
    qsizetype produced = 0;
    int depth = 0;
    Failure failure = Failure::None;
    QString refusal;
    qint64 counter = 0;
    QList<qint32> expanded;
    // Texts of tokens made here: pasted, stringified, predefined values.
    TokenTexts made;
    // Hide sets, shared by all expansions: tokens go from one to the next.
    struct HideSets
    {
        QList<QList<int>> sets {QList<int>()}; // sorted name ids; 0 is the empty set
        QHash<QList<int>, quint32> ids {{QList<int>(), 0}};
        QHash<QString, int> names;
        int sessions = 0;
    };
    static HideSets &hideSets()
    {
        static HideSets pool;
        return pool;
    }
    HideSets &pool = hideSets();

    Session()
    {
        // Sets are few; a text that makes very many starts the pool afresh
        // when no expansion holds tokens of it.
        constexpr qsizetype MaxSets = 1 << 16;
        if (pool.sessions == 0 && (pool.sets.size() > MaxSets || pool.names.size() > MaxSets))
            pool = HideSets();
        ++pool.sessions;
    }
    ~Session() { --pool.sessions; }
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    void fail(Failure why, const QString &reason = {})
    {
        if (failure == Failure::None || (failure == Failure::Refused && why == Failure::TooLarge)) {
            failure = why;
            refusal = reason;
        }
    }
    QStringView keep(const QString &text)
    {
        TokenTexts &texts = environment.texts ? *environment.texts : made;
        texts.push_back(text);
        return texts.back();
    }
    int nameId(QStringView name)
    {
        auto it = pool.names.find(name.toString());
        if (it == pool.names.end())
            it = pool.names.insert(name.toString(), int(pool.names.size()));
        return *it;
    }
    quint32 setOf(const QList<int> &names)
    {
        auto it = pool.ids.find(names);
        if (it == pool.ids.end()) {
            it = pool.ids.insert(names, quint32(pool.sets.size()));
            pool.sets.append(names);
        }
        return *it;
    }
    // A set of a pool started afresh since is taken as empty.
    const QList<int> &setAt(quint32 set) const
    {
        return set < quint32(pool.sets.size()) ? pool.sets.at(set) : pool.sets.at(0);
    }
    bool hides(quint32 set, int name) const { return setAt(set).contains(name); }
    quint32 with(quint32 set, int name)
    {
        QList<int> names = setAt(set);
        const auto at = std::lower_bound(names.begin(), names.end(), name);
        if (at != names.end() && *at == name)
            return set;
        names.insert(at, name);
        return setOf(names);
    }
    quint32 joined(quint32 a, quint32 b)
    {
        if (a == b || b == 0)
            return a;
        if (a == 0)
            return b;
        QList<int> names;
        std::set_union(setAt(a).cbegin(), setAt(a).cend(), setAt(b).cbegin(), setAt(b).cend(),
                       std::back_inserter(names));
        return setOf(names);
    }
    quint32 common(quint32 a, quint32 b)
    {
        if (a == b)
            return a;
        QList<int> names;
        std::set_intersection(setAt(a).cbegin(), setAt(a).cend(), setAt(b).cbegin(),
                              setAt(b).cend(), std::back_inserter(names));
        return setOf(names);
    }
    // A token of its own text: a number, a string, a pasted token. *single,
    // when given, tells whether the text is one token.
    PPToken made_(const QString &spelling, const PPToken &like, bool *single = nullptr)
    {
        const QStringView text = keep(spelling);
        CScanner lexer(text);
        const Token token = lexer.next();
        if (single)
            *single = token.begin == 0 && token.end == text.size() && token.kind != Token::Kind::End
                    && !token.unterminated;
        PPToken t = like;
        t.padding = PPToken::Padding::None;
        t.token = token;
        t.token.atLineStart = false;
        t.token.spaceBefore = like.token.spaceBefore;
        t.text = text;
        return t;
    }
};

namespace {

PPToken padding(PPToken::Padding kind, bool space = false)
{
    PPToken t;
    t.padding = kind;
    t.sourceSpace = space;
    return t;
}

// `text` as a string literal holds it: quotes and backslashes escaped.
QString escapeQuotes(QStringView text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out;
}

// `tokens` as written, white space as one space where the tokens had some;
// `escaped`, as "#" spells them: one string literal, quotes and backslashes
// of literals escaped.
QString spelledApart(const PPTokens &tokens, bool escaped)
{
    QString text;
    // Padding decides the white space before the next token: the first one
    // met, unless the end of an expansion follows one without white space.
    enum class Source { None, White, Plain } source = Source::None;
    bool first = true;
    for (const PPToken &token : tokens) {
        switch (token.padding) {
        case PPToken::Padding::Source:
            if (source == Source::None)
                source = token.sourceSpace ? Source::White : Source::Plain;
            continue;
        case PPToken::Padding::AvoidPaste:
            if (source == Source::Plain)
                source = Source::None;
            continue;
        case PPToken::Padding::Placemarker:
            continue;
        case PPToken::Padding::None:
            break;
        }
        if (token.token.kind == Token::Kind::End)
            continue;
        const bool space
                = source == Source::None ? token.token.spaceBefore : source == Source::White;
        if (!first && space)
            text += u' ';
        first = false;
        source = Source::None;
        QString scratch;
        const QStringView spelling = token.spelling(&scratch);
        if (escaped && token.token.isLiteral())
            text += escapeQuotes(spelling);
        else
            text += spelling;
    }
    // A backslash left alone at the end would escape the closing quote: the
    // compiler drops it.
    qsizetype backslashes = 0;
    while (escaped && backslashes < text.size() && text.at(text.size() - 1 - backslashes) == u'\\')
        ++backslashes;
    if (backslashes % 2)
        text.chop(1);
    return escaped ? u'"' + text + u'"' : text;
}

} // namespace

QString MacroExpander::spelled(const PPTokens &tokens)
{
    return spelledApart(tokens, false);
}

MacroExpander::MacroExpander(const Environment &environment, Source *source)
    : m_ownSession(std::make_unique<Session>())
    , m_session(m_ownSession.get())
    , m_source(source)
{
    m_session->environment = environment;
    m_session->counter = environment.counter;
}

MacroExpander::MacroExpander(const Environment &environment, const PPTokens &tokens)
    : MacroExpander(environment, nullptr)
{
    m_frames.append({tokens, 0});
}

MacroExpander::MacroExpander(Session *session, const PPTokens &tokens)
    : m_session(session)
{
    m_frames.append({tokens, 0});
}

MacroExpander::~MacroExpander() = default;

MacroExpander::Failure MacroExpander::failure() const
{
    return m_session->failure;
}

QString MacroExpander::refusal() const
{
    return m_session->refusal;
}

bool MacroExpander::expandingMacros() const
{
    return std::any_of(m_frames.cbegin(), m_frames.cend(), [](const Frame &frame) {
        return !frame.putBack
                && std::any_of(frame.tokens.cbegin() + frame.next, frame.tokens.cend(),
                               [](const PPToken &token) { return !token.isPadding(); });
    });
}

qsizetype MacroExpander::putBackFrom(QStringView text) const
{
    qsizetype first = -1;
    for (const Frame &frame : m_frames) {
        for (qsizetype i = frame.next; frame.putBack && i < frame.tokens.size(); ++i) {
            const PPToken &token = frame.tokens.at(i);
            if (!token.isPadding() && !token.isEnd() && token.text.data() == text.data()
                && token.origin < 0 && (first < 0 || token.token.begin < first))
                first = token.token.begin;
        }
    }
    return first;
}

qint64 MacroExpander::counter() const
{
    return m_session->counter;
}

QList<const MacroDefinition *> MacroExpander::expanded() const
{
    QList<const MacroDefinition *> list;
    for (const qint32 index : m_session->expanded)
        list << &m_session->environment.macros->at(index);
    return list;
}

PPToken MacroExpander::take()
{
    while (!m_frames.isEmpty()) {
        Frame &frame = m_frames.last();
        if (frame.next < frame.tokens.size())
            return frame.tokens.at(frame.next++);
        m_frames.removeLast();
    }
    return m_source ? m_source->next() : PPToken();
}

void MacroExpander::pushBack(const PPToken &token)
{
    if (!m_frames.isEmpty() && m_frames.last().next > 0) {
        Frame &frame = m_frames.last();
        frame.tokens[--frame.next] = token;
        return;
    }
    m_frames.append({{token}, 0, true});
}

bool MacroExpander::push(PPTokens tokens)
{
    m_session->produced += tokens.size();
    if (m_session->produced > MaxTokens || m_frames.size() >= MaxFrames) {
        m_session->fail(Failure::TooLarge);
        return false;
    }
    m_frames.append({std::move(tokens), 0, false});
    return true;
}

PPToken MacroExpander::nextRaw()
{
    for (;;) {
        const PPToken token = take();
        if (!token.isPadding())
            return token;
    }
}

PPToken MacroExpander::next()
{
    for (;;) {
        const PPToken token = nextPadded();
        if (!token.isPadding())
            return token;
    }
}

PPTokens MacroExpander::expandAll(const Environment &environment, const PPTokens &tokens)
{
    MacroExpander expander(environment, tokens);
    PPTokens out;
    for (PPToken token = expander.next(); !token.isEnd(); token = expander.next())
        out.append(token);
    return out;
}

// Without a "(", what was looked at is put back (one padding for those
// passed over).
bool MacroExpander::arguments(QList<PPTokens> *arguments, PPToken *close)
{
    PPToken padded;
    bool sawPadding = false;
    PPToken token = take();
    while (token.isPadding()) {
        // As the compiler picks: the first, unless it only avoids a paste, or
        // a later one ends an expansion after no white space.
        if (!sawPadding || padded.padding == PPToken::Padding::AvoidPaste
            || (padded.padding == PPToken::Padding::Source && !padded.sourceSpace
                && token.padding == PPToken::Padding::AvoidPaste))
            padded = token;
        sawPadding = true;
        token = take();
    }
    if (!token.is(u'(')) {
        pushBack(token);
        // The compiler puts the padding back in a context of its own, whose
        // end avoids a paste as any other's does.
        if (sawPadding) {
            pushBack(padding(PPToken::Padding::AvoidPaste));
            pushBack(padded);
        }
        return false;
    }
    arguments->clear();
    arguments->append(PPTokens());
    m_commas.clear();
    BracketDepth depth;
    PPTokens taken; // to put back when the text ends first
    taken << token;
    for (;;) {
        token = take();
        if (token.isEnd()) {
            // The compiler reports an unterminated argument list.
            for (qsizetype i = taken.size() - 1; i >= 0; --i)
                pushBack(taken.at(i));
            return false;
        }
        taken << token;
        if (taken.size() > MaxTokens) {
            m_session->fail(Failure::TooLarge);
            return false;
        }
        if (depth.closes(token.token)) {
            *close = token;
            return true;
        }
        if (depth.outermost() && token.is(u',')) {
            m_commas.append(token);
            arguments->append(PPTokens());
            continue;
        }
        arguments->last().append(token);
    }
}

PPTokens MacroExpander::expandArgument(const PPTokens &argument)
{
    if (m_session->depth >= MaxDepth) {
        m_session->fail(Failure::TooLarge);
        return {};
    }
    ++m_session->depth;
    MacroExpander inner(m_session, argument);
    PPTokens out;
    for (PPToken token = inner.nextPadded(); !token.isEnd(); token = inner.nextPadded()) {
        out.append(token);
        if (++m_session->produced > MaxTokens)
            m_session->fail(Failure::TooLarge);
        if (m_session->failure == Failure::TooLarge)
            break;
    }
    --m_session->depth;
    return out;
}

PPToken MacroExpander::nextPadded()
{
    Session &s = *m_session;
    for (;;) {
        if (s.failure == Failure::TooLarge)
            return PPToken(); // nothing more: what follows would be wrong
        PPToken token = take();
        if (!token.isIdentifier())
            return token;
        QString scratch;
        QStringView name = token.spelling(&scratch);
        if (!scratch.isEmpty())
            name = s.keep(scratch);
        const Environment &e = s.environment;
        if (e.isTerminal && e.isTerminal(name))
            return token;
        const int id = s.nameId(name);
        if (token.hide && s.hides(token.hide, id))
            return token;
        if (expandBuiltin(token, name))
            continue;
        const qint32 index = e.macros ? e.macros->findIndex(name, e.use, e.limit) : -1;
        if (index < 0)
            return token;
        const MacroShape &shape = e.macros->shape(index);
        if (!shape.valid)
            return token;
        QList<PPTokens> arguments;
        quint32 hide = 0;
        bool variadicGiven = true;
        if (shape.functionLike) {
            PPToken close;
            if (!this->arguments(&arguments, &close))
                return token;
            const qsizetype wanted = shape.parameters.size();
            if (shape.variadic && arguments.size() == wanted - 1) {
                variadicGiven = false;
                arguments.append(PPTokens());
            }
            if (shape.variadic && arguments.size() > wanted) {
                // The rest, commas and all, is the variadic argument.
                PPTokens rest = arguments.at(wanted - 1);
                for (qsizetype i = wanted; i < arguments.size(); ++i)
                    rest << m_commas.at(i - 1) << arguments.at(i);
                arguments.resize(wanted);
                arguments.last() = rest;
            }
            // Padding at either end of an argument is not the argument's.
            for (PPTokens &argument : arguments) {
                while (!argument.isEmpty() && argument.constLast().isPadding())
                    argument.removeLast();
                while (!argument.isEmpty() && argument.constFirst().isPadding())
                    argument.removeFirst();
            }
            // F() gives one empty argument, which a macro of no parameters takes.
            if (wanted == 0 && arguments.size() == 1 && arguments.first().isEmpty())
                arguments.clear();
            if (arguments.size() != wanted) {
                s.fail(Failure::Refused,
                       QStringLiteral("macro %1 takes %2 arguments, but %3 are given")
                               .arg(name)
                               .arg(wanted)
                               .arg(arguments.size()));
                return token;
            }
            hide = s.with(s.common(token.hide, close.hide), id);
        } else {
            hide = s.with(token.hide, id);
        }
        if (!s.expanded.contains(index))
            s.expanded.append(index);
        PPTokens body = substitute(index, token, arguments, variadicGiven, hide);
        body.prepend(padding(PPToken::Padding::Source, token.token.spaceBefore));
        body.append(padding(PPToken::Padding::AvoidPaste));
        if (!push(std::move(body)))
            return PPToken();
    }
}

// The predefined macros whose value is the place or the moment, and
// _Pragma, which the compiler obeys and takes out.
bool MacroExpander::expandBuiltin(const PPToken &name, QStringView spelling)
{
    const bool pragma = spelling == u"_Pragma";
    if (!pragma
        && (spelling.size() < 7 || !spelling.startsWith(u"__") || !spelling.endsWith(u"__")))
        return false;
    Session &s = *m_session;
    const Environment &e = s.environment;
    const auto quoted = [](QStringView text) { return u'"' + escapeQuotes(text) + u'"'; };
    QString value;
    if (pragma) {
        // _Pragma ( "..." ): done with.
        PPTokens looked;
        PPToken token = take();
        for (; token.isPadding(); token = take())
            looked << token;
        const auto putBack = [&] {
            pushBack(token);
            for (qsizetype i = looked.size() - 1; i >= 0; --i)
                pushBack(looked.at(i));
            return false;
        };
        if (!token.is(u'('))
            return putBack();
        looked << token;
        token = nextRaw();
        if (token.token.kind != Token::Kind::String)
            return putBack();
        looked << token;
        token = nextRaw();
        if (!token.is(u')'))
            return putBack();
        return true;
    }
    // Asked only for the names that need it: the clock is slow to read.
    const auto now = [&e] { return e.now.isValid() ? e.now : QDateTime::currentDateTime(); };
    if (spelling == u"__LINE__" || spelling == u"__FILE__" || spelling == u"__INCLUDE_LEVEL__"
        || spelling == u"__FILE_NAME__") {
        const SourcePlace place = e.placeOf ? e.placeOf(name.siteText, name.site) : SourcePlace();
        if (spelling == u"__LINE__")
            value = QString::number(place.line);
        else if (spelling == u"__INCLUDE_LEVEL__")
            value = QString::number(place.includeLevel);
        else if (spelling == u"__FILE__")
            value = quoted(place.file);
        else
            value = quoted(place.file.mid(place.file.lastIndexOf(u'/') + 1));
    } else if (spelling == u"__COUNTER__") {
        value = QString::number(s.counter++);
    } else if (spelling == u"__BASE_FILE__") {
        value = quoted(e.baseFile);
    } else if (spelling == u"__DATE__") {
        // "Mmm dd yyyy", the day padded with a space, in English.
        static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const QDate date = now().date();
        value = QStringLiteral("\"%1 %2 %3\"")
                        .arg(QLatin1String(months[date.month() - 1]))
                        .arg(date.day(), 2)
                        .arg(date.year());
    } else if (spelling == u"__TIME__") {
        value = QLatin1Char('"') + now().time().toString(QStringLiteral("HH:mm:ss")) + u'"';
    } else {
        return false;
    }
    PPToken made = s.made_(value, name);
    made.origin = name.origin;
    pushBack(made);
    return true;
}

// The replacement list of the `index`th definition for one invocation:
// arguments put in (expanded, spelt by "#", or as they stand next to
// "##"), pasting done, and the hide set given to all.
PPTokens MacroExpander::substitute(qint32 index, const PPToken &name,
                                   const QList<PPTokens> &arguments, bool variadicGiven,
                                   quint32 hide)
{
    Session &s = *m_session;
    const MacroTable &table = *s.environment.macros;
    const MacroDefinition &definition = table.at(index);
    const MacroShape &shape = table.shape(index);
    QList<std::pair<PPTokens, bool>> expandedArguments(arguments.size());
    const auto expandedArgument = [&](qsizetype i) -> const PPTokens & {
        if (!expandedArguments[i].second) {
            expandedArguments[i] = {expandArgument(arguments.at(i)), true};
        }
        return expandedArguments[i].first;
    };
    const auto real = [](const PPTokens &tokens) {
        PPTokens out;
        for (const PPToken &t : tokens) {
            if (!t.isPadding())
                out << t;
        }
        return out;
    };

    struct Piece
    {
        PPToken token;
        bool pasteLeft = false;
    };
    QList<Piece> pieces;
    const auto bodyToken = [&](const MacroShape::Part &part, bool first) {
        PPToken t;
        t.token = part.token;
        t.token.atLineStart = false;
        if (first)
            t.token.spaceBefore = false;
        t.text = definition.source;
        t.origin = index;
        t.siteText = name.siteText;
        t.site = name.site;
        return t;
    };
    const auto appendTokens = [&](const PPTokens &tokens, bool pasteLeft) {
        s.produced += tokens.size();
        if (s.produced > MaxTokens) {
            s.fail(Failure::TooLarge);
            return;
        }
        for (const PPToken &t : tokens)
            pieces.append({t, false});
        if (!pieces.isEmpty() && pasteLeft)
            pieces.last().pasteLeft = true;
    };

    // The parts from `begin` to `end`; __VA_OPT__ calls it for its own.
    std::function<void(qsizetype, qsizetype)> parts = [&](qsizetype begin, qsizetype end) {
        for (qsizetype i = begin; i < end; ++i) {
            const MacroShape::Part &part = shape.body.at(i);
            const bool afterPaste = i > begin && shape.body.at(i - 1).pasteLeft;
            if (part.vaoptClose >= 0) {
                const qsizetype close = part.vaoptClose;
                const bool present
                        = variadicGiven && !real(expandedArgument(arguments.size() - 1)).isEmpty();
                const qsizetype mark = pieces.size();
                if (present)
                    parts(i + 2, close);
                if (part.stringify) {
                    PPTokens inner;
                    for (qsizetype k = mark; k < pieces.size(); ++k)
                        inner << pieces.at(k).token;
                    pieces.resize(mark);
                    PPToken t = s.made_(spelledApart(inner, true), bodyToken(part, i == 0));
                    pieces.append({t, shape.body.at(close).pasteLeft});
                } else if (pieces.size() == mark) {
                    if (afterPaste || shape.body.at(close).pasteLeft)
                        pieces.append({padding(PPToken::Padding::Placemarker),
                                       shape.body.at(close).pasteLeft});
                } else if (shape.body.at(close).pasteLeft) {
                    pieces.last().pasteLeft = true;
                }
                i = close;
                continue;
            }
            if (part.parameter < 0) {
                pieces.append({bodyToken(part, i == 0), part.pasteLeft});
                continue;
            }
            const PPTokens &argument = arguments.at(part.parameter);
            const bool isVariadic = shape.variadic && part.parameter == arguments.size() - 1;
            if (part.stringify) {
                PPToken t = s.made_(spelledApart(argument, true), bodyToken(part, i == 0));
                t.token.spaceBefore = part.token.spaceBefore && i > 0;
                if (i > 0 && !afterPaste)
                    pieces.append({padding(PPToken::Padding::Source, t.token.spaceBefore), false});
                pieces.append({t, part.pasteLeft});
                if (!part.pasteLeft)
                    pieces.append({padding(PPToken::Padding::AvoidPaste), false});
                continue;
            }
            if (afterPaste && isVariadic && i > 0 && shape.body.at(i - 1).token.is(u',')
                && shape.body.at(i - 1).parameter < 0 && !pieces.isEmpty()
                && pieces.last().token.is(u',')) {
                // gcc's ", ## __VA_ARGS__": without the variadic argument the
                // comma goes; with it, nothing is pasted.
                pieces.last().pasteLeft = false;
                if (!variadicGiven)
                    pieces.removeLast();
                else
                    appendTokens(real(argument), part.pasteLeft);
                continue;
            }
            if (part.pasteLeft || afterPaste) {
                // Padding on the left, as for any argument but one right of ##.
                if (i > 0 && !afterPaste)
                    pieces.append(
                            {padding(PPToken::Padding::Source, part.token.spaceBefore), false});
                const PPTokens raw = real(argument);
                if (raw.isEmpty())
                    pieces.append({padding(PPToken::Padding::Placemarker), part.pasteLeft});
                else
                    appendTokens(raw, part.pasteLeft);
                continue;
            }
            const PPTokens &expanded = expandedArgument(part.parameter);
            if (i > 0)
                pieces.append({padding(PPToken::Padding::Source, part.token.spaceBefore && i > 0),
                               false});
            appendTokens(expanded, false);
            pieces.append({padding(PPToken::Padding::AvoidPaste), false});
        }
    };
    parts(0, shape.body.size());

    // Pasting, left to right; a placemarker pastes to what is beside it.
    PPTokens out;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        Piece current = pieces.at(i);
        while (current.pasteLeft && i + 1 < pieces.size()) {
            const Piece &right = pieces.at(++i);
            const bool leftEmpty = current.token.padding == PPToken::Padding::Placemarker;
            const bool rightEmpty = right.token.padding == PPToken::Padding::Placemarker;
            if (rightEmpty) {
                // The left one stays.
            } else if (leftEmpty) {
                // Nothing is pasted: the right one comes as it is.
                current.token = right.token;
            } else {
                bool single = false;
                PPToken pasted = s.made_(current.token.spelled() + right.token.spelled(),
                                         current.token, &single);
                if (single) {
                    current.token = pasted;
                } else {
                    s.fail(Failure::Refused,
                           QStringLiteral("pasting \"%1\" and \"%2\" does not give a valid "
                                          "preprocessing token")
                                   .arg(current.token.spelled(), right.token.spelled()));
                    out.append(current.token);
                    current.token = right.token;
                }
            }
            current.pasteLeft = right.pasteLeft;
        }
        if (current.token.padding != PPToken::Padding::Placemarker)
            out.append(current.token);
    }
    for (PPToken &t : out) {
        if (!t.isPadding())
            t.hide = s.joined(t.hide, hide);
    }
    return out;
}

ScannedTokens::ScannedTokens(QStringView text, qsizetype begin, qsizetype end)
    : m_lexer(text, begin)
    , m_end(end)
{
    m_lexer.setPosition(begin, false);
    m_lexer.setDirective(end < 0); // to the end of a directive's line
}

PPToken ScannedTokens::next()
{
    while (!m_done) {
        const Token token = m_lexer.next();
        if (token.kind == Token::Kind::End
            || (m_end < 0 ? token.atLineStart : token.begin >= m_end)) {
            m_done = true;
            break;
        }
        if (token.startsDirective()) {
            m_lexer.skipLine();
            continue;
        }
        return PPToken::written(m_lexer.text(), token);
    }
    return PPToken();
}

} // namespace VelkoMenuView
