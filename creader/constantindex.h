// Where the string constants of a C text are declared, found as the compiler
// sees them: `const char NAME[] = "...";` and `static const char *const NAME =
// "...";`, with qualifiers, storage classes and attributes anywhere before
// the "=", written out or through macros, and `extern` declarations.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

namespace VelkoMenuView {

struct UnitRecord;
struct TextRecord;

class ConstantIndex
{
public:
    // `facts`, never null, are those of reading `text`; only what has been
    // read is searched.
    ConstantIndex(QStringView text, const UnitRecord *facts)
        : m_text(text)
        , m_facts(facts)
    { }

    struct Declaration
    {
        QStringView text; // the text it stands in: the one read, or a header
        qsizetype name = -1; // the declared name; -1 when there is none
        qsizetype initializer = -1; // the initializer's tokens, without braces
        qsizetype initializerEnd = -1;
        qsizetype use = -1; // where its initializer's macros are looked up
        qsizetype macroLimit = -1; // in a header: the macro directives recorded before it
        bool constant = true; // an array of const, or a pointer const itself
        bool pointer = false; // declared as a pointer, not an array
        bool array = false;
        bool external = false; // `extern`, without an initializer
    };

    // The last declaration of `name` before `use`, in the text or in a
    // header included before it. Each name's occurrences in a text are
    // looked at once, forwards, however many look-ups ask.
    Declaration find(QStringView name, qsizetype use);
    // The definition, with an initializer, of a name declared `extern`:
    // anywhere in the text or its headers, the whole text read for it.
    Declaration definition(QStringView name);
    // Reads the rest of the text, when a definition is looked for there.
    void setReadAll(const std::function<void()> &readAll) { m_readAll = readAll; }

    QStringView text() const { return m_text; }
    // Forgets what was found from `pos` on, its facts already truncated
    // there, and moves the rest to `text`, the same up to `pos`.
    void truncate(qsizetype pos, QStringView text);

private:
    struct Found
    {
        qsizetype searchedTo = 0;
        QList<Declaration> declarations;
        // Each occurrence looked at, and how far the text was read to tell.
        QList<std::pair<qsizetype, qsizetype>> examined;
    };
    Declaration findIn(QStringView text, const TextRecord *facts, Found &found, QStringView name,
                       qsizetype use, qsizetype includedAt) const;

    QStringView m_text;
    const UnitRecord *m_facts;
    QHash<QString, Found> m_found;
    // By the header's reading: one text can be read twice, differently.
    QHash<std::pair<const TextRecord *, QString>, Found> m_foundInHeaders;
    std::function<void()> m_readAll;
};

} // namespace VelkoMenuView
