// The quick pass is one tight loop over code: comments and literals are
// passed over whole by the pieces the tokens are cut with; where a keyword
// may stand, the tokens from the last place known to start one settle it;
// a directive is read as tokens up to its macro's name, then passed over to
// its line's end.
#include "creader/sourcereader.h"

#include "creader/conditionalexpression.h"
#include "creader/readcount.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace VelkoMenuView {

namespace {

// What the quick pass must look at: line ends, comments, literals, splices,
// the two characters every keyword holds, and the first two characters of
// the macros that may expand to one. Everything else in code is passed over,
// eight characters at a time where the processor can.
bool isStop(const char16_t *t, qsizetype p, qsizetype size, const KeywordSet &keywords,
            const StopPairs &pairs)
{
    switch (t[p]) {
    case '\n':
    case '\r':
    case '/':
    case '"':
    case '\'':
    case '\\':
        return true;
    default:
        if (t[p] == keywords.first && p + 1 < size && t[p + 1] == keywords.second)
            return true;
        break;
    }
    for (const auto &[first, second] : pairs) {
        if (t[p] == first && (!second || (p + 1 < size && t[p + 1] == second)))
            return true;
    }
    return false;
}

qsizetype nextStop(const char16_t *t, qsizetype p, qsizetype stop, qsizetype size,
                   const KeywordSet &keywords, const StopPairs &pairs)
{
#if defined(__SSE2__)
    constexpr qsizetype MaxPairs = 6; // beyond, one character at a time
    if (pairs.size() <= MaxPairs) {
        const __m128i lineFeed = _mm_set1_epi16('\n');
        const __m128i carriageReturn = _mm_set1_epi16('\r');
        const __m128i slash = _mm_set1_epi16('/');
        const __m128i quote = _mm_set1_epi16('"');
        const __m128i apostrophe = _mm_set1_epi16('\'');
        const __m128i backslash = _mm_set1_epi16('\\');
        const __m128i m = _mm_set1_epi16(short(keywords.first));
        const __m128i e = _mm_set1_epi16(short(keywords.second));
        __m128i firsts[MaxPairs];
        __m128i seconds[MaxPairs];
        for (qsizetype i = 0; i < pairs.size(); ++i) {
            firsts[i] = _mm_set1_epi16(short(pairs[i].first));
            seconds[i] = _mm_set1_epi16(short(pairs[i].second));
        }
        const __m128i zero = _mm_setzero_si128();
        for (; p < stop && p + 9 <= size; p += 8) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + p));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + p + 1));
            __m128i found
                    = _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(here, lineFeed),
                                                             _mm_cmpeq_epi16(here, carriageReturn)),
                                                _mm_or_si128(_mm_cmpeq_epi16(here, slash),
                                                             _mm_cmpeq_epi16(here, quote))),
                                   _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(here, apostrophe),
                                                             _mm_cmpeq_epi16(here, backslash)),
                                                _mm_and_si128(_mm_cmpeq_epi16(here, m),
                                                              _mm_cmpeq_epi16(next, e))));
            for (qsizetype i = 0; i < pairs.size(); ++i) {
                // A pair without a second character stops at the first alone.
                const __m128i second = _mm_or_si128(_mm_cmpeq_epi16(next, seconds[i]),
                                                    _mm_cmpeq_epi16(seconds[i], zero));
                found = _mm_or_si128(found,
                                     _mm_and_si128(_mm_cmpeq_epi16(here, firsts[i]), second));
            }
            const int mask = _mm_movemask_epi8(found);
            if (mask)
                return qMin(p + qCountTrailingZeroBits(uint(mask)) / 2, stop);
        }
    }
#endif
    for (; p < stop; ++p) {
        if (isStop(t, p, size, keywords, pairs))
            return p;
    }
    return stop;
}

// How many entries of `list`, in the order of their places, lie before `pos`.
template<typename List, typename Place>
qsizetype countBefore(const List &list, qsizetype pos, Place place)
{
    return std::partition_point(list.cbegin(), list.cend(),
                                [&](const auto &entry) { return place(entry) < pos; })
            - list.cbegin();
}

const auto atOf = [](const auto &entry) { return entry.at; };
const auto firstOf = [](const auto &entry) { return entry.first; };

} // namespace

qsizetype TextRecord::lineStartBefore(qsizetype pos) const
{
    const auto after = std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), pos);
    return after == lineStarts.cbegin() ? 0 : *(after - 1);
}

Conditionals TextRecord::conditionsAt(qsizetype pos) const
{
    // The record of the directive at `at`; null when none is (at -1, say).
    const auto recordOf = [this](qsizetype at) -> const ConditionRecord * {
        const qsizetype found = countBefore(conditions, at, atOf);
        return found < conditions.size() && conditions.at(found).at == at ? &conditions.at(found)
                                                                          : nullptr;
    };
    const qsizetype after = countBefore(conditions, pos, atOf);
    Conditionals open;
    for (const ConditionRecord *record = after ? recordOf(conditions.at(after - 1).top) : nullptr;
         record; record = recordOf(record->parent))
        open.append(record->level);
    std::reverse(open.begin(), open.end());
    return open;
}

qsizetype TextRecord::macrosBefore(qsizetype pos) const
{
    const qsizetype after = countBefore(macroMarks, pos, firstOf);
    return after == 0 ? macroStart : macroMarks.at(after - 1).second;
}

void TextRecord::truncate(qsizetype pos)
{
    lineStarts.resize(
            qMax<qsizetype>(1, countBefore(lineStarts, pos + 1, [](qsizetype at) { return at; })));
    conditions.resize(countBefore(conditions, pos, atOf));
    keywords.resize(countBefore(keywords, pos, [](const KeywordHit &hit) { return hit.begin; }));
    macroMarks.resize(countBefore(macroMarks, pos, firstOf));
    lineMarks.resize(
            countBefore(lineMarks, pos + 1, [](const LineMark &mark) { return mark.from; }));
    keywordsTo = qMin(keywordsTo, pos);
    readTo = qMin(readTo, pos);
}

bool UnitRecord::isReadOnce(const QString &path) const
{
    return std::any_of(readOnce.cbegin(), readOnce.cend(),
                       [&](const auto &once) { return once.second == path; });
}

void UnitRecord::truncate(qsizetype pos, QStringView oldText, QStringView newText)
{
    TextRecord::truncate(pos);
    macros.truncate(pos, oldText, newText);
    // The command line's inclusions (at -1) stay.
    includes.resize(countBefore(includes, pos, atOf));
    readOnce.resize(countBefore(readOnce, pos, firstOf));
    errors.resize(countBefore(errors, pos, atOf));
    counters.resize(countBefore(counters, pos, firstOf));
}

namespace {

// The line of `at` in `text`, as #line directives of `facts` number it.
qint64 lineOf(QStringView text, qsizetype at, const TextRecord &facts, QString *file)
{
    qsizetype from = 0;
    qint64 line = 1;
    const auto after = std::partition_point(
            facts.lineMarks.cbegin(), facts.lineMarks.cend(),
            [&](const TextRecord::LineMark &mark) { return mark.from <= at; });
    // The file named by the last #line that names one.
    for (auto it = after; it != facts.lineMarks.cbegin();) {
        --it;
        if (!it->file.isEmpty()) {
            *file = it->file;
            break;
        }
    }
    if (after != facts.lineMarks.cbegin()) {
        from = (after - 1)->from;
        line = (after - 1)->line;
    }
    at = qMin(at, text.size());
    for (qsizetype p = from; p < at; ++p) {
        const char16_t c = text[p].unicode();
        if (c == '\n' || (c == '\r' && (p + 1 >= text.size() || text[p + 1] != u'\n')))
            ++line;
    }
    return line;
}

} // namespace

bool isDynamicMacro(QStringView name)
{
    static const QStringView names[]
            = {u"__FILE__",      u"__LINE__",          u"__COUNTER__", u"__INCLUDE_LEVEL__",
               u"__BASE_FILE__", u"__DATE__",          u"__TIME__",    u"__FILE_NAME__",
               u"__has_include", u"__has_include_next"};
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

qint64 UnitRecord::counterAt(qsizetype pos) const
{
    const qsizetype after = countBefore(counters, pos, firstOf);
    return after == 0 ? 0 : counters.at(after - 1).second;
}

SourcePlace UnitRecord::placeOf(QStringView text, qsizetype at) const
{
    SourcePlace place;
    place.file = context.path;
    const TextRecord *facts = this;
    for (const Inclusion &inclusion : includes) {
        if (inclusion.text && inclusion.text->constData() == text.data()) {
            place.file = inclusion.presumed;
            place.includeLevel = inclusion.level;
            facts = inclusion.facts.data();
            break;
        }
    }
    place.line = lineOf(text, at, *facts, &place.file);
    return place;
}

MacroExpander::Environment UnitRecord::environment(qsizetype use, qsizetype limit) const
{
    MacroExpander::Environment e;
    e.macros = &macros;
    e.use = use;
    e.limit = limit;
    e.baseFile = context.path;
    e.placeOf = [this](QStringView text, qsizetype at) { return placeOf(text, at); };
    return e;
}

namespace {

// A view of `view`'s characters in `newText` when it lies in `oldText`,
// `delta` further on.
QStringView moved(QStringView view, QStringView oldText, QStringView newText, qsizetype delta)
{
    const QChar *begin = oldText.data();
    if (view.data() < begin || view.data() >= begin + oldText.size())
        return view; // a header's, or a name of the table's own
    return newText.sliced(view.data() - begin + delta, view.size());
}

// Where the directive whose "#" is at `hash` ends: the first line end not
// spliced; a comment in it may run on, so then the text's end.
qsizetype directiveEnd(QStringView text, qsizetype hash)
{
    for (qsizetype p = hash; p < text.size(); ++p) {
        const QChar c = text[p];
        if (c == u'/' && p + 1 < text.size() && text[p + 1] == u'*')
            return text.size();
        if (c != u'\n' && c != u'\r')
            continue;
        qsizetype before = p - 1;
        if (c == u'\n' && before >= 0 && text[before] == u'\r')
            --before;
        if (before < 0 || text[before] != u'\\')
            return p;
    }
    return text.size();
}

bool sameDefinition(const MacroDefinition &a, const MacroDefinition &b)
{
    return a.kind == b.kind && a.at == b.at && a.nameAt == b.nameAt && a.body == b.body
            && a.name == b.name && a.source.size() == b.source.size()
            && (a.source.data() == b.source.data() || a.source == b.source);
}

bool sameInclusion(const Inclusion &a, const Inclusion &b)
{
    return a.at == b.at && a.path == b.path && a.written == b.written;
}

// Whether `recorded` are exactly the entries of `tail` before `end`, and
// how many of those there are.
template<typename List, typename Place, typename Same>
bool recordedAsInTail(const List &recorded, const List &tail, qsizetype end, Place place, Same same,
                      qsizetype *count)
{
    *count = countBefore(tail, end, place);
    if (recorded.size() != *count)
        return false;
    for (qsizetype i = 0; i < *count; ++i) {
        if (!same(recorded[i], tail[i]))
            return false;
    }
    return true;
}

} // namespace

void UnitRecord::setAside(qsizetype pos, qsizetype same, qsizetype oldEnd, QStringView oldText,
                          QStringView newText)
{
    const qsizetype delta = newText.size() - oldText.size();
    const auto movedAt = [&](qsizetype at) { return at >= oldEnd ? at + delta : at; };
    // A directive read again before the edit stays where it was; one that
    // reaches into the edit changes what follows in ways not compared.
    bool touched = false;
    const auto taken = [&](qsizetype at) {
        if (at < pos)
            return false;
        touched = touched || (at < oldEnd && (at >= same || directiveEnd(oldText, at) >= same));
        return true;
    };
    QSharedPointer<ReadingTail> kept = QSharedPointer<ReadingTail>::create();
    TextRecord &facts = kept->facts;
    facts.lineStarts.clear();
    for (const qsizetype start : std::as_const(lineStarts)) {
        if (start >= oldEnd && start > pos)
            facts.lineStarts.append(start + delta);
    }
    for (ConditionRecord record : std::as_const(conditions)) {
        if (!taken(record.at))
            continue;
        record.at = movedAt(record.at);
        record.top = movedAt(record.top);
        record.parent = movedAt(record.parent);
        record.level.opening = movedAt(record.level.opening);
        record.level.inactiveFrom = movedAt(record.level.inactiveFrom);
        facts.conditions.append(record);
    }
    for (KeywordHit hit : std::as_const(keywords)) {
        if (hit.begin < oldEnd)
            continue;
        hit.begin += delta;
        hit.end += delta;
        hit.inactiveGroup = hit.inactiveGroup < 0 ? -1 : movedAt(hit.inactiveGroup);
        facts.keywords.append(hit);
    }
    facts.keywordsTo = keywordsTo + delta;
    facts.readTo = readTo + delta;
    for (MacroDefinition definition : macros.from(macros.firstAt(pos))) {
        taken(definition.at);
        const qsizetype shift = definition.at >= oldEnd ? delta : 0;
        definition.name = moved(definition.name, oldText, newText, shift);
        if (definition.source.data() == oldText.data()) {
            definition.nameAt += shift;
            definition.body += shift;
            definition.source = newText;
        }
        definition.at = movedAt(definition.at);
        kept->macros.append(definition);
    }
    for (Inclusion inclusion : std::as_const(includes)) {
        if (taken(inclusion.at)) {
            inclusion.at = movedAt(inclusion.at);
            kept->includes.append(inclusion);
        }
    }
    for (const auto &[at, path] : std::as_const(readOnce)) {
        if (taken(at))
            kept->readOnce.append({movedAt(at), path});
    }
    // Worth keeping when the old reading had come past the edit. #line,
    // #error and __COUNTER__ beyond it, rare as they are, make it read on.
    const bool rare = std::any_of(lineMarks.cbegin(), lineMarks.cend(),
                                  [&](const LineMark &mark) { return mark.from > pos; })
            || std::any_of(errors.cbegin(), errors.cend(),
                           [&](const DirectiveError &error) { return error.at >= pos; })
            || std::any_of(counters.cbegin(), counters.cend(),
                           [&](const auto &mark) { return mark.first >= pos; });
    const bool worthIt
            = !rare && facts.keywordsTo > oldEnd + delta && facts.readTo > oldEnd + delta;
    truncate(pos, oldText, newText);
    kept->conditionsKept = conditions.size();
    kept->macrosKept = macros.size();
    kept->includesKept = includes.size();
    kept->readOnceKept = readOnce.size();
    tail = !touched && worthIt ? kept : QSharedPointer<ReadingTail>();
}

bool UnitRecord::resume(qsizetype lineStart)
{
    if (!tail || readTo != lineStart || keywordsTo != lineStart)
        return false;
    const ReadingTail &t = *tail;
    qsizetype conditionsBefore = 0;
    qsizetype macrosBefore = 0;
    qsizetype includesBefore = 0;
    qsizetype readOnceBefore = 0;
    const bool same = recordedAsInTail(conditions.mid(t.conditionsKept), t.facts.conditions,
                                       lineStart, atOf, std::equal_to<>(), &conditionsBefore)
            && recordedAsInTail(macros.from(t.macrosKept), t.macros, lineStart, atOf,
                                sameDefinition, &macrosBefore)
            && recordedAsInTail(includes.mid(t.includesKept), t.includes, lineStart, atOf,
                                sameInclusion, &includesBefore)
            && recordedAsInTail(readOnce.mid(t.readOnceKept), t.readOnce, lineStart, firstOf,
                                std::equal_to<>(), &readOnceBefore);
    const QSharedPointer<const ReadingTail> taken = std::exchange(tail, {});
    if (!same)
        return false; // the edit changed what the directives read so far did
    conditions.append(t.facts.conditions.mid(conditionsBefore));
    for (qsizetype i = macrosBefore; i < t.macros.size(); ++i)
        macros.record(t.macros[i]);
    includes.append(t.includes.mid(includesBefore));
    readOnce.append(t.readOnce.mid(readOnceBefore));
    for (const KeywordHit &hit : t.facts.keywords) {
        if (hit.begin >= lineStart)
            keywords.append(hit);
    }
    // The old reading's line starts before this one may lie in what the
    // edit made a comment.
    for (const qsizetype start : t.facts.lineStarts) {
        if (start >= lineStart && start > lineStarts.constLast())
            lineStarts.append(start);
    }
    keywordsTo = t.facts.keywordsTo;
    readTo = t.facts.readTo;
    return true;
}

bool TextRecord::isCompiled(qsizetype pos) const
{
    const qsizetype after = countBefore(conditions, pos, atOf);
    return after == 0 || conditions.at(after - 1).compiled;
}

SourceReader::SourceReader(QStringView text, qsizetype from, UnitRecord *facts, Recording recording)
    : m_text(text)
    , m_facts(facts)
    , m_unit(facts)
    , m_record(recording == Recording::On && from <= facts->readTo)
    , m_pos(qBound(qsizetype(0), from, text.size()))
    , m_atLineStart(isLogicalLineStart(text, m_pos))
    , m_allGroups(recording == Recording::Off)
    , m_conditions(facts->conditionsAt(m_pos))
    , m_lexer(text, m_pos)
{ }

SourceReader::SourceReader(QStringView text, TextRecord *facts, UnitRecord *unit,
                           const Header &header)
    : m_text(text)
    , m_facts(facts)
    , m_unit(unit)
    , m_record(true)
    , m_header(true)
    , m_headerInfo(header)
    , m_lexer(text, 0)
{ }

void SourceReader::readPredefined(UnitRecord *facts)
{
    const QString text = facts->context.configuration.predefinedText();
    if (text.isEmpty())
        return;
    Inclusion commandLine;
    commandLine.written = QStringLiteral("<command line>");
    commandLine.text = QSharedPointer<const QString>::create(text);
    commandLine.facts = QSharedPointer<TextRecord>::create();
    facts->includes.append(commandLine);
    SourceReader reader(*commandLine.text, commandLine.facts.data(), facts, Header());
    reader.readAll();
}

int SourceReader::keywordOf(const Token &token) const
{
    if (token.kind != Token::Kind::Identifier)
        return 0;
    return m_unit->keywordSet.of(token.spliced ? QStringView(m_lexer.spelling(token))
                                               : m_lexer.textOf(token));
}

void SourceReader::readAll()
{
    while (nextKeyword().keyword) { }
}

qsizetype SourceReader::inactiveGroup() const
{
    return m_allGroups || m_conditions.isEmpty() ? -1 : m_conditions.constLast().inactiveFrom;
}

void SourceReader::noteRead(qsizetype pos)
{
    if (m_record && pos > m_facts->readTo)
        m_facts->readTo = pos;
}

void SourceReader::jumpTo(qsizetype pos, bool atLineStart)
{
    m_pos = pos;
    m_atLineStart = atLineStart;
    m_conditions = m_facts->conditionsAt(pos);
}

KeywordHit SourceReader::nextKeyword(qsizetype limit)
{
    // The rest of the keywords one invocation writes.
    if (!m_pending.isEmpty())
        return m_pending.takeFirst();
    const qsizetype stop = limit < 0 ? m_text.size() : qMin(limit, m_text.size());
    for (;;) {
        KeywordHit hit;
        // Where an earlier pass found the keywords, they are taken as found.
        if (m_record && !m_header && !m_inDirective && m_pos < m_facts->keywordsTo) {
            const QList<KeywordHit> &known = m_facts->keywords;
            const auto next
                    = std::partition_point(known.cbegin(), known.cend(),
                                           [&](const KeywordHit &k) { return k.begin < m_pos; });
            if (next != known.cend() && next->begin < stop) {
                jumpTo(next->end, false);
                for (auto it = next + 1;
                     next->expanded && it != known.cend() && it->begin == next->begin; ++it)
                    m_pending.append(*it);
                return *next;
            }
            const qsizetype lineStart = m_facts->lineStartBefore(qMin(stop, m_facts->keywordsTo));
            if (lineStart > m_pos)
                jumpTo(lineStart, true);
        }
        // Beyond an edit the pass goes from one line start the old reading
        // recorded to the next, to take up what it learnt from there on.
        qsizetype until = stop;
        if (m_record && !m_header && !m_inDirective && m_unit->tail) {
            const QList<qsizetype> &starts = m_unit->tail->facts.lineStarts;
            const auto next
                    = std::upper_bound(starts.cbegin(), starts.cend(), qMax(m_pos, m_resumeTried));
            if (next != starts.cend() && *next < stop)
                until = *next;
        }
        const qsizetype from = m_pos;
        m_pos = skim(until, &hit, false);
        countRead(m_pos - from);
        const bool invocation = hit.invocation;
        if (invocation)
            hit = takeInvocation(hit);
        noteRead(m_pos);
        // Everything before where the pass stopped has been looked at: the
        // keywords found so far stand for it.
        if (m_record && !m_header && from <= m_facts->keywordsTo && m_pos > m_facts->keywordsTo) {
            if (hit.keyword && hit.begin >= m_facts->keywordsTo) {
                m_facts->keywords.append(hit);
                m_facts->keywords.append(m_pending);
            }
            m_facts->keywordsTo = m_pos;
        }
        if (hit.keyword || (until == stop && !invocation))
            return hit;
        if (invocation)
            continue; // it writes no keyword: the pass goes on after its name
        m_resumeTried = until;
        if (m_pos == until && m_atLineStart)
            m_unit->resume(until);
    }
}

KeywordHit SourceReader::takeInvocation(const KeywordHit &hit)
{
    qsizetype end = hit.end;
    const QList<KeywordCall> calls = expandInvocation(hit.begin, &end);
    if (calls.isEmpty()) {
        jumpTo(hit.end, false);
        return KeywordHit();
    }
    for (qsizetype piece = 0; piece < calls.size(); ++piece) {
        KeywordHit written {calls.at(piece).keyword, hit.begin, end, hit.inactiveGroup};
        written.expanded = true;
        written.piece = qint32(piece);
        m_pending.append(written);
    }
    return m_pending.takeFirst();
}

QList<KeywordCall> SourceReader::expandInvocation(qsizetype begin, qsizetype *end)
{
    jumpTo(begin, false);
    const bool wasInInvocation = std::exchange(m_inInvocation, true);
    // The compiled tokens from the name on, each one's place kept.
    class Tokens : public MacroExpander::Source
    {
    public:
        explicit Tokens(SourceReader &reader)
            : m_reader(reader)
        { }
        PPToken next() override
        {
            const Token token = m_reader.nextToken();
            if (token.kind != Token::Kind::End)
                read.append({token.begin, token.end});
            return PPToken::written(m_reader.text(), token);
        }
        QList<std::pair<qsizetype, qsizetype>> read;

    private:
        SourceReader &m_reader;
    } tokens(*this);
    MacroExpander::Environment environment = m_unit->environment(begin);
    environment.counter = m_unit->counterAt(begin);
    environment.isTerminal = [this](QStringView word) { return m_unit->keywordSet.of(word) != 0; };
    environment.texts = std::make_shared<TokenTexts>();
    MacroExpander expander(environment, &tokens);
    QList<KeywordCall> calls;
    constexpr qsizetype MaxCalls = 4096;
    for (PPToken token = expander.next(); !token.isEnd() && calls.size() < MaxCalls;
         token = expander.next()) {
        QString scratch;
        const int keyword
                = token.isIdentifier() ? m_unit->keywordSet.of(token.spelling(&scratch)) : 0;
        if (keyword) {
            KeywordCall call;
            call.keyword = keyword;
            call.texts = environment.texts;
            PPToken close;
            call.called = expander.arguments(&call.arguments, &close);
            calls.append(call);
        }
        if (!expander.expandingMacros())
            break;
    }
    // What was read ahead and put back belongs to the text after it.
    const qsizetype putBack = expander.putBackFrom(m_text);
    qsizetype last = begin;
    for (const auto &[from, to] : std::as_const(tokens.read)) {
        if (putBack < 0 || from < putBack)
            last = qMax(last, to);
    }
    *end = last;
    m_inInvocation = wasInInvocation;
    jumpTo(last, false);
    return calls;
}

void SourceReader::finishDirective()
{
    KeywordHit none;
    const qsizetype from = m_pos;
    m_pos = skim(m_text.size(), &none, true);
    countRead(m_pos - from);
}

Token SourceReader::nextToken()
{
    if (m_inDirective)
        finishDirective();
    m_lexer.setPosition(m_pos, m_atLineStart);
    for (;;) {
        const Token token = m_lexer.next();
        if (!token.startsDirective()) {
            m_pos = m_lexer.position();
            m_atLineStart = false;
            noteRead(m_pos);
            if (token.kind != Token::Kind::End && !active())
                continue; // a group that is not compiled
            return token;
        }
        // The directive, then its line passed over as the quick pass does:
        // what follows its name is within the line.
        ++m_directivesPassed;
        m_atLineStart = false;
        m_pos = directive(token.begin);
        finishDirective();
        m_lexer.setPosition(m_pos, m_atLineStart);
    }
}

// Records the start of a logical line at `pos`, then passes over white space
// and comments: a directive's "#" may follow them. Returns where the quick
// pass goes on.
qsizetype SourceReader::lineStart(qsizetype pos)
{
    // Every few thousand characters: a place to read from is near enough.
    if (pos >= m_nextLineStart && recording(pos) && !m_inInvocation
        && pos > m_facts->lineStarts.constLast()) {
        m_facts->lineStarts.append(pos);
        m_nextLineStart = pos + LineStartSpacing;
    }
    const qsizetype size = m_text.size();
    pos = spaceEnd(m_text, pos);
    if (pos < size && m_text[pos] == u'#')
        return directive(pos);
    if (pos < size && m_text[pos] == u'%') {
        CScanner lexer(m_text);
        lexer.setPosition(pos, true);
        if (lexer.next().is(u'#'))
            return directive(pos);
    }
    return pos;
}

// Reads the directive whose "#" is at `hash` as far as it matters and
// returns where the quick pass goes on, in the directive's line. Most
// definitions are read by their characters; splices and comments in their
// head, and the other directives, leave them to the tokens.
qsizetype SourceReader::directive(qsizetype hash)
{
    m_inDirective = true;
    const qsizetype size = m_text.size();
    const auto spaceEnd = [&](qsizetype p) {
        while (p < size && isHorizontalSpace(m_text[p].unicode()))
            ++p;
        return p;
    };
    // Neither a splice nor a comment where the characters are read.
    const auto plain
            = [&](qsizetype p) { return p >= size || (m_text[p] != u'\\' && m_text[p] != u'/'); };
    const auto unspliced = [&](qsizetype begin, qsizetype end) {
        return !m_text.sliced(begin, end - begin).contains(u'\\');
    };
    if (m_text[hash] == u'#') {
        const qsizetype nameBegin = spaceEnd(hash + 1);
        const qsizetype nameEnd = identifierEnd(m_text, nameBegin);
        if (plain(nameBegin) && plain(nameEnd) && unspliced(nameBegin, nameEnd)) {
            const QStringView word = m_text.sliced(nameBegin, nameEnd - nameBegin);
            const bool define = word == u"define";
            if (define || word == u"undef") {
                const qsizetype macroBegin = spaceEnd(nameEnd);
                const qsizetype macroEnd = identifierEnd(m_text, macroBegin);
                if (plain(macroBegin) && plain(macroEnd) && unspliced(macroBegin, macroEnd)) {
                    if (macroEnd == macroBegin || !isIdentifierStart(m_text[macroBegin]))
                        return macroBegin;
                    record(hash, m_text.sliced(macroBegin, macroEnd - macroBegin), macroBegin,
                           macroEnd,
                           !define ? MacroDefinition::Kind::Undefined
                                   : macroEnd < size && m_text[macroEnd] == u'('
                                   ? MacroDefinition::Kind::Function
                                   : MacroDefinition::Kind::Object);
                    return macroEnd;
                }
            } else if (word == u"pragma") {
                const qsizetype argumentBegin = spaceEnd(nameEnd);
                const qsizetype argumentEnd = identifierEnd(m_text, argumentBegin);
                if (m_header && active()
                    && m_text.sliced(argumentBegin, argumentEnd - argumentBegin) == u"once"
                    && !m_unit->isReadOnce(m_headerInfo.path))
                    m_unit->readOnce.append({m_headerInfo.recordAt, m_headerInfo.path});
                return nameEnd;
            } else if (!word.startsWith(u"if") && !word.startsWith(u"el")
                       && !word.startsWith(u"end") && !word.startsWith(u"include")
                       && word != u"line" && word != u"error"
                       && !(nameEnd > nameBegin && m_text[nameBegin].isDigit())) {
                return nameEnd; // #pragma, #ident, #warning ...: nothing to obey
            }
        }
    }

    CScanner lexer(m_text);
    lexer.setPosition(hash, true);
    lexer.next(); // "#"
    const qsizetype afterHash = lexer.position();
    const Token name = lexer.next();
    if (name.kind == Token::Kind::Number && !name.atLineStart) {
        // A line marker, "# 33 "file"", as the preprocessor writes them.
        lexer.setPosition(name.begin);
        lineDirective(hash, lexer, true);
        return name.end;
    }
    if (name.kind != Token::Kind::Identifier || name.atLineStart)
        return afterHash;
    const QString word = lexer.spelling(name);
    if (word.startsWith(u"if") || word.startsWith(u"el") || word == u"endif")
        return conditional(hash, word, lexer);
    if (word == u"include" || word == u"include_next") {
        include(hash, lexer, word.size() > 7);
        return qMin(lexer.position(), size);
    }
    if (word == u"line") {
        lineDirective(hash, lexer, false);
        return name.end;
    }
    if (word == u"error") {
        errorDirective(hash, name.end);
        return name.end;
    }
    const bool define = word == u"define";
    if (!define && word != u"undef")
        return name.end;
    const Token macro = lexer.next();
    if (macro.kind != Token::Kind::Identifier || macro.atLineStart)
        return name.end;
    MacroDefinition::Kind kind = MacroDefinition::Kind::Undefined;
    if (define) {
        // A "(" right after the name, without space, makes it function-like.
        const Token after = lexer.next();
        kind = after.is(u'(') && !after.spaceBefore && !after.atLineStart
                ? MacroDefinition::Kind::Function
                : MacroDefinition::Kind::Object;
    }
    const QString spelled = macro.spliced ? lexer.spelling(macro) : QString();
    record(hash, macro.spliced ? QStringView(spelled) : lexer.textOf(macro), macro.begin, macro.end,
           kind);
    return macro.end;
}

// #if, #ifdef, #ifndef, #elif, #elifdef, #elifndef, #else and #endif, with
// `lexer` after the directive's name. Returns where the quick pass goes on.
qsizetype SourceReader::conditional(qsizetype hash, QStringView word, CScanner &lexer)
{
    const qsizetype afterName = lexer.position();
    const bool forced = !m_header && m_unit->context.forcedGroups.contains(hash);
    // The value of the condition that follows, for a group that may be taken.
    const auto condition = [&] {
        if (forced)
            return true;
        if (word == u"if" || word == u"elif") {
            ConditionContext context;
            context.environment = environment(hash);
            context.hasInclude = [&](const QString &name, bool quoted, bool next) {
                return !findHeader(name, quoted, next, nullptr).isEmpty();
            };
            const ConditionResult result = evaluateCondition(m_text, afterName, context);
            if (result.counter != context.environment.counter && recording(hash))
                m_unit->counters.append({m_header ? m_headerInfo.recordAt : hash, result.counter});
            return result.value;
        }
        const Token macro = lexer.next();
        if (macro.kind != Token::Kind::Identifier || macro.atLineStart)
            return false;
        const QString spelled = lexer.spelling(macro);
        const bool defined = m_unit->macros.find(spelled, lookupAt(hash)) != nullptr
                || isDynamicMacro(spelled);
        return word.endsWith(u"ndef") ? !defined : defined;
    };
    // The outermost group not compiled, for the innermost one as it now stands.
    const auto settle = [&] {
        Conditional &level = m_conditions.last();
        const qsizetype around = m_conditions.size() >= 2
                ? m_conditions.at(m_conditions.size() - 2).inactiveFrom
                : -1;
        level.inactiveFrom = around >= 0 ? around : level.active ? -1 : level.opening;
    };
    bool opens = true; // the directive opens a group or goes on with one
    if (word == u"if" || word == u"ifdef" || word == u"ifndef") {
        Conditional level;
        level.opening = hash;
        level.parentActive = active();
        level.taken = level.parentActive && condition();
        level.active = level.taken;
        m_conditions.append(level);
        settle();
    } else if (word == u"elif" || word == u"elifdef" || word == u"elifndef") {
        if (m_conditions.isEmpty() || m_conditions.constLast().elseSeen)
            return afterName;
        Conditional &level = m_conditions.last();
        level.opening = hash;
        level.active = level.parentActive && !level.taken && condition();
        level.taken = level.taken || level.active;
        settle();
    } else if (word == u"else") {
        if (m_conditions.isEmpty() || m_conditions.constLast().elseSeen)
            return afterName;
        Conditional &level = m_conditions.last();
        level.opening = hash;
        level.elseSeen = true;
        level.active = level.parentActive && (!level.taken || forced);
        level.taken = true;
        settle();
    } else if (word == u"endif") {
        if (!m_conditions.isEmpty())
            m_conditions.removeLast();
        opens = false;
    } else {
        return afterName;
    }
    if (recording(hash)) {
        ConditionRecord record;
        record.at = hash;
        const qsizetype depth = m_conditions.size();
        record.top = depth > 0 ? m_conditions.constLast().opening : -1;
        record.compiled = depth == 0 || m_conditions.constLast().active;
        if (opens) {
            record.level = m_conditions.constLast();
            record.parent = depth >= 2 ? m_conditions.at(depth - 2).opening : -1;
        }
        m_facts->conditions.append(record);
    }
    return afterName;
}

MacroExpander::Environment SourceReader::environment(qsizetype hash) const
{
    MacroExpander::Environment e = m_unit->environment(lookupAt(hash));
    // A header is read all at once, when its #include is: __COUNTER__ goes
    // on from the last value taken; in the main text, from the last before.
    e.counter = !m_header                ? m_unit->counterAt(hash)
            : m_unit->counters.isEmpty() ? 0
                                         : m_unit->counters.constLast().second;
    // A place in this header is not among the unit's inclusions yet.
    const UnitRecord *unit = m_unit;
    const QStringView text = m_text;
    const TextRecord *facts = m_facts;
    const QString file = m_header ? m_headerInfo.presumed : m_unit->context.path;
    const int level = int(m_headerInfo.stack.size());
    e.placeOf = [=](QStringView in, qsizetype at) {
        if (in.data() != text.data())
            return unit->placeOf(in, at);
        SourcePlace place;
        place.file = file;
        place.includeLevel = level;
        place.line = lineOf(in, at, *facts, &place.file);
        return place;
    };
    return e;
}

QString SourceReader::findHeader(const QString &name, bool quoted, bool next, QString *folder) const
{
    const QString includer = m_header ? m_headerInfo.path : m_unit->context.path;
    const QString includerFolder
            = includer.isEmpty() ? QString() : QFileInfo(includer).absolutePath();
    // #include_next in the main file is #include.
    const QString after = next && m_header ? m_headerInfo.folder : QString();
    const QString path = IncludeFiles::find(name, quoted, includerFolder,
                                            m_unit->context.configuration, folder, after);
    if (!path.isEmpty() && folder && folder->isEmpty() && quoted && after.isEmpty()
        && !QDir::isAbsolutePath(name))
        *folder = includerFolder;
    return path;
}

// #line N "file" and gcc's line markers: __LINE__ and __FILE__ change, the
// positions the reader names do not.
void SourceReader::lineDirective(qsizetype hash, CScanner &lexer, bool marker)
{
    if (!active() || !recording(hash))
        return;
    ScannedTokens tokens(m_text, lexer.position(), -1);
    PPTokens operands;
    MacroExpander::Environment environment = this->environment(hash);
    environment.texts = std::make_shared<TokenTexts>();
    if (marker) {
        for (PPToken t = tokens.next(); !t.isEnd(); t = tokens.next())
            operands << t;
    } else {
        MacroExpander expander(environment, &tokens);
        for (PPToken t = expander.next(); !t.isEnd(); t = expander.next())
            operands << t;
    }
    if (operands.isEmpty() || operands.first().token.kind != Token::Kind::Number)
        return;
    bool ok = false;
    TextRecord::LineMark mark;
    mark.line = operands.first().spelled().toLongLong(&ok);
    if (!ok)
        return;
    if (operands.size() > 1 && operands.at(1).token.kind == Token::Kind::String)
        mark.file = operands.at(1).spelled().mid(1).chopped(1);
    const qsizetype end = directiveEnd(m_text, hash);
    mark.from = end + lineEndLength(m_text, end);
    m_facts->lineMarks.append(mark);
}

void SourceReader::errorDirective(qsizetype hash, qsizetype afterName)
{
    if (!active() || !recording(hash))
        return;
    UnitRecord::DirectiveError error;
    error.at = m_header ? m_headerInfo.recordAt : hash;
    const qsizetype end = directiveEnd(m_text, hash);
    error.message
            = m_text.sliced(afterName, qMax<qsizetype>(0, end - afterName)).toString().simplified();
    if (m_header) {
        error.file = m_headerInfo.presumed;
        error.line = lineOf(m_text, hash, *m_facts, &error.file);
    }
    m_unit->errors.append(error);
}

// #include "name" and #include <name>, or a macro that comes to one of
// them: the header is read at once, its macros counting from here on.
void SourceReader::include(qsizetype hash, CScanner &lexer, bool next)
{
    if (!active())
        return;
    const qsizetype operandAt = lexer.position();
    const Token name = lexer.next();
    if (name.atLineStart || name.kind == Token::Kind::End)
        return;
    QString written;
    bool quoted = false;
    if (name.kind == Token::Kind::String && name.encoding == Token::Encoding::Plain && !name.raw
        && !name.unterminated) {
        written = lexer.spelling(name).mid(1).chopped(1);
        quoted = true;
    } else if (name.is(u'<')) {
        // The header name is taken as written, up to ">" on the line.
        qsizetype end = name.end;
        while (end < m_text.size() && m_text[end] != u'>' && !lineEndLength(m_text, end))
            ++end;
        if (end >= m_text.size() || m_text[end] != u'>')
            return;
        written = m_text.sliced(name.end, end - name.end).toString();
        lexer.setPosition(end + 1);
    } else {
        // A computed include: the line's macros expanded come to "name" or
        // to <, the tokens of the name, >.
        ScannedTokens tokens(m_text, operandAt, -1);
        MacroExpander expander(environment(hash), &tokens);
        const PPToken first = expander.next();
        if (first.token.kind == Token::Kind::String
            && first.token.encoding == Token::Encoding::Plain && !first.token.raw
            && !first.token.unterminated) {
            written = first.spelled().mid(1).chopped(1);
            quoted = true;
        } else if (first.is(u'<')) {
            PPToken token = expander.next();
            for (; !token.isEnd() && !token.is(u'>'); token = expander.next()) {
                if (token.token.spaceBefore && !written.isEmpty())
                    written += u' ';
                written += token.spelled();
            }
            if (!token.is(u'>'))
                return;
        } else {
            return;
        }
        lexer.skipLine();
    }
    if (!recording(hash))
        return; // read when this place was read before
    Inclusion inclusion;
    inclusion.at = m_header ? m_headerInfo.recordAt : hash;
    inclusion.written = quoted ? QLatin1Char('"') + written + QLatin1Char('"')
                               : QLatin1Char('<') + written + QLatin1Char('>');
    QString folder;
    const QString path = findHeader(written, quoted, next, &folder);
    constexpr qsizetype MaxDepth = 64;
    // Headers that include others twice without a guard multiply: reading
    // stops including when a unit has come to this many inclusions.
    constexpr qsizetype MaxInclusions = 20000;
    // A header already being read would only include itself again.
    inclusion.path = path;
    inclusion.presumed = folder.isEmpty() ? path : folder + QLatin1Char('/') + written;
    inclusion.level = int(m_headerInfo.stack.size()) + 1;
    if (!path.isEmpty() && !m_headerInfo.stack.contains(path)
        && m_headerInfo.stack.size() < MaxDepth && !m_unit->isReadOnce(path)
        && m_unit->includes.size() < MaxInclusions) {
        inclusion.text = IncludeFiles::text(path, m_unit->context.openText);
        if (inclusion.text) {
            inclusion.facts = QSharedPointer<TextRecord>::create();
            inclusion.facts->macroStart = m_unit->macros.size();
            Header header;
            header.recordAt = inclusion.at;
            header.path = path;
            header.presumed = inclusion.presumed;
            header.folder = folder;
            header.stack = m_headerInfo.stack;
            header.stack.append(path);
            SourceReader reader(*inclusion.text, inclusion.facts.data(), m_unit, header);
            reader.readAll();
            if (m_header)
                m_facts->macroMarks.append({hash, m_unit->macros.size()});
        }
    }
    m_unit->includes.append(inclusion);
}

void SourceReader::record(qsizetype hash, QStringView name, qsizetype nameAt, qsizetype body,
                          MacroDefinition::Kind kind)
{
    if (!active()) {
        if (kind != MacroDefinition::Kind::Undefined)
            m_unit->namesDefinedAside.insert(name.toString());
        return;
    }
    if (!recording(hash)) {
        // Recorded when a pass stopped within its line: its replacement
        // list is still to be watched for what it may write.
        const qsizetype known = m_record && !m_header ? m_unit->macros.firstAt(hash) : -1;
        if (kind != MacroDefinition::Kind::Undefined && known >= 0 && known < m_unit->macros.size()
            && m_unit->macros.at(known).at == hash) {
            m_definition = known;
            m_bodyFrom = body;
            m_bodyWatched = false;
        }
        return;
    }
    MacroDefinition definition;
    definition.kind = kind;
    definition.name = name.data() >= m_text.data() && name.data() < m_text.data() + m_text.size()
            ? name
            : m_unit->macros.keep(name.toString());
    definition.source = m_text;
    definition.at = m_header ? m_headerInfo.recordAt : hash;
    definition.nameAt = nameAt;
    definition.body = body;
    m_unit->macros.record(definition);
    if (m_header)
        m_facts->macroMarks.append({hash, m_unit->macros.size()});
    if (kind != MacroDefinition::Kind::Undefined) {
        // Its replacement list is passed over next: a keyword there, or a
        // macro that may write one, makes it a macro that may write one.
        m_definition = m_unit->macros.size() - 1;
        m_bodyFrom = body;
        m_bodyWatched = false;
    }
}

void SourceReader::finishDefinition()
{
    if (m_definition >= 0 && m_bodyWatched)
        m_unit->macros.markWatched(m_definition);
    m_definition = -1;
    m_bodyWatched = false;
    updatePairs();
}

void SourceReader::updatePairs()
{
    if (m_unit->macros.producersRevision() == m_pairsRevision)
        return;
    m_pairsRevision = m_unit->macros.producersRevision();
    m_pairs.clear();
    for (const QString &name : m_unit->macros.producers()) {
        const std::pair<char16_t, char16_t> pair {name.at(0).unicode(),
                                                  name.size() > 1 ? name.at(1).unicode() : 0};
        if (!m_pairs.contains(pair))
            m_pairs.append(pair);
    }
}

qsizetype SourceReader::skim(qsizetype stop, KeywordHit *hit, bool untilDirectiveEnd)
{
    const char16_t *t = reinterpret_cast<const char16_t *>(m_text.data());
    const qsizetype size = m_text.size();
    qsizetype p = m_pos;
    if (m_atLineStart) {
        m_atLineStart = false;
        p = lineStart(p);
    }
    // Where a token of code is known to start: reading tokens from here
    // settles what the quick look cannot.
    qsizetype boundary = p;
    const auto tokenAt = [&](qsizetype pos) {
        CScanner lexer(m_text, boundary);
        lexer.setPosition(boundary, false);
        lexer.setDirective(m_inDirective);
        Token token = lexer.next();
        while (token.kind != Token::Kind::End && token.end <= pos)
            token = lexer.next();
        return token;
    };
    // An identifier: a keyword outside a directive, or a macro that may
    // write one, compiled? In a #define's replacement list either makes the
    // macro defined one that may.
    const auto keywordAt = [&](const Token &token) {
        const QString spelled = token.spliced ? m_lexer.spelling(token) : QString();
        const QStringView word = token.spliced ? QStringView(spelled) : m_lexer.textOf(token);
        const int keyword = m_unit->keywordSet.of(word);
        const auto producer = [&] { return m_unit->macros.isProducer(word); };
        if (m_inDirective) {
            if (m_definition >= 0 && token.begin >= m_bodyFrom && (keyword || producer()))
                m_bodyWatched = true;
            return false;
        }
        if (!keyword) {
            if (m_header || inactiveGroup() >= 0 || !producer())
                return false;
            *hit = {0, token.begin, token.end, -1};
            hit->invocation = true;
            return true;
        }
        *hit = {keyword, token.begin, token.end, inactiveGroup()};
        return true;
    };
    updatePairs();

    // A keyword that starts before `stop` may have its two characters after it.
    const qsizetype reach = qMin(stop + 32, size);
    for (;;) {
        p = nextStop(t, p, reach, size, m_unit->keywordSet, m_pairs);
        if (p >= stop) {
            // Beyond the limit: unless a word that starts before it holds
            // the keywords' two characters (or the start of a macro's name)
            // or a splice here, a later
            // call goes on from the last token start.
            if (p >= reach || (!isIdentifierPart(m_text[p]) && t[p] != '\\')
                || tokenAt(p).begin >= stop) {
                if (p >= size && m_inDirective)
                    finishDefinition();
                return p >= size ? size : boundary;
            }
        }
        switch (t[p]) {
        case '\n':
        case '\r':
            p += lineEndLength(m_text, p);
            if (m_inDirective) {
                m_inDirective = false;
                finishDefinition();
                if (untilDirectiveEnd) {
                    m_atLineStart = true;
                    return p;
                }
            }
            if (p >= stop) {
                // Where a later call goes on: a logical line starts there.
                m_atLineStart = true;
                return p;
            }
            p = lineStart(p);
            boundary = p;
            break;
        case '/': {
            const qsizetype end = commentEnd(m_text, p);
            p = end == p ? p + 1 : end;
            boundary = p;
            break;
        }
        case '"':
        case '\'': {
            // A raw literal's prefix stands right before its quote: the
            // tokens tell whether it is one.
            const bool raw = t[p] == '"' && p > boundary && isIdentifierPart(m_text[p - 1])
                    && tokenAt(p).raw;
            const qsizetype end = raw ? rawLiteralEnd(m_text, p, nullptr, m_inDirective) : -1;
            p = end >= 0 ? end : literalEnd(m_text, p);
            boundary = p;
            break;
        }
        case '\\': {
            const qsizetype splice = spliceLength(m_text, p);
            if (!splice) {
                ++p;
                break;
            }
            const qsizetype after = p + splice;
            if (after < size && isIdentifierPart(m_text[after])) {
                // A word after a splice, perhaps joined to one before it:
                // read it as a token.
                const Token token = tokenAt(p);
                if (token.kind == Token::Kind::Identifier && keywordAt(token))
                    return token.end;
                p = qMax(token.end, after);
                boundary = p;
            } else {
                p = after;
            }
            break;
        }
        default: {
            // The keywords' two characters, or a macro's first: the token
            // around them (a number such as 1e+ABC, perhaps) may be one.
            const Token token = tokenAt(p);
            if (token.kind == Token::Kind::Identifier && keywordAt(token))
                return token.end;
            p = qMax(token.end, p + 1);
            boundary = p;
            break;
        }
        }
    }
    return p;
}

} // namespace VelkoMenuView
