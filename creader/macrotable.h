// The macros of a text as the preprocessor knows them at each point: every
// #define and #undef in the order of the text, so that a name is looked up
// as it stands where it is used, not as it stands at the end.
#pragma once

#include "creader/macroshape.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

namespace VelkoMenuView {

struct MacroDefinition
{
    enum class Kind : quint8 {
        Object, // #define NAME replacement
        Function, // #define NAME(params) replacement: its body is never read
        Undefined, // #undef NAME
    };
    Kind kind = Kind::Undefined;
    QStringView name;
    QStringView source; // the text the directive stands in
    qsizetype at = -1; // the directive's "#" in the text
    qsizetype nameAt = -1; // the macro's name
    qsizetype body = -1; // the replacement list, from here to the end of the directive's line
    // Its replacement list names a word the reader watches for, or a macro
    // that may produce one (see MacroTable::producers()).
    bool namesWatched = false;
};

class MacroTable
{
public:
    // Directives are recorded in the order of the text.
    void record(const MacroDefinition &definition);

    // The definition of `name` in force at `use`; null when none is (never
    // defined, or undefined again). With a `limit`, only the first `limit`
    // directives recorded count: a place inside a header, whose directives
    // all count at its #include.
    const MacroDefinition *find(QStringView name, qsizetype use, qsizetype limit = -1) const;
    // The same as an index of the table; -1 when none is.
    qint32 findIndex(QStringView name, qsizetype use, qsizetype limit = -1) const;
    const MacroDefinition &at(qsizetype index) const { return m_definitions.at(index); }
    // The parameters and replacement list of the `index`th directive, read once.
    const MacroShape &shape(qsizetype index) const;
    // The definition that `definition` replaced without an #undef between
    // them, or null.
    const MacroDefinition *replaced(const MacroDefinition &definition) const;

    // Owns a name whose spelling differs from the text (a splice inside it).
    QStringView keep(const QString &name);

    // The macros that may expand to a word the reader watches for (its
    // keywords): those whose replacement list names one, or names such a
    // macro, by any of their definitions so far. A reader stops at them.
    bool isProducer(QStringView name) const { return m_producers.contains(name.toString()); }
    QStringList producers() const { return m_producers.keys(); }
    // The `index`th directive's replacement list names a watched word, or a
    // producer, after all: its macro is a producer.
    void markWatched(qsizetype index);
    // Changes whenever the producers do.
    quint64 producersRevision() const { return m_producersRevision; }

    qsizetype size() const { return m_definitions.size(); }
    // The directives recorded from the `index`th on.
    QList<MacroDefinition> from(qsizetype index) const { return m_definitions.mid(index); }
    // The index of the first directive at or after `pos` in the main text.
    qsizetype firstAt(qsizetype pos) const;

    // Forgets the directives from `from` on in the main text: that part is
    // read again. Those before stay, moved from `oldText` to `newText`,
    // whose first `from` characters are the same.
    void truncate(qsizetype from, QStringView oldText, QStringView newText);

private:
    const QList<int> *indexOf(QStringView name) const;
    void addProducer(qsizetype index);

    QList<MacroDefinition> m_definitions;
    QList<QString> m_keptNames;
    // Built on the first look-up: most texts never ask. Keyed by names of
    // its own, so that it outlives the texts.
    mutable QList<QString> m_names;
    mutable QHash<QStringView, QList<int>> m_byName;
    mutable qsizetype m_indexed = 0;
    mutable QList<std::shared_ptr<const MacroShape>> m_shapes; // by index, read when asked
    QHash<QString, qsizetype> m_producers; // by the directive that made each one
    quint64 m_producersRevision = 0;
};

} // namespace VelkoMenuView
