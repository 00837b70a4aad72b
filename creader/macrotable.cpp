// Macro definitions by name and place.
#include "creader/macrotable.h"

#include "creader/cscanner.h"

#include <algorithm>

namespace VelkoMenuView {

void MacroTable::record(const MacroDefinition &definition)
{
    m_definitions.append(definition);
    if (definition.namesWatched && definition.kind != MacroDefinition::Kind::Undefined)
        addProducer(m_definitions.size() - 1);
}

void MacroTable::markWatched(qsizetype index)
{
    m_definitions[index].namesWatched = true;
    addProducer(index);
}

void MacroTable::addProducer(qsizetype index)
{
    // A macro whose replacement list names a new producer is one too.
    QList<qsizetype> work {index};
    while (!work.isEmpty()) {
        const MacroDefinition &made = m_definitions.at(work.takeLast());
        const QString name = made.name.toString();
        if (m_producers.contains(name))
            continue;
        m_producers.insert(name, index);
        ++m_producersRevision;
        for (qsizetype i = 0; i < m_definitions.size(); ++i) {
            const MacroDefinition &other = m_definitions.at(i);
            if (other.kind == MacroDefinition::Kind::Undefined || other.body < 0
                || m_producers.contains(other.name.toString()))
                continue;
            const QStringView body = other.source.sliced(
                    other.body, logicalLineEnd(other.source, other.body) - other.body);
            for (qsizetype at = body.indexOf(name); at >= 0; at = body.indexOf(name, at + 1)) {
                const qsizetype after = at + name.size();
                if ((at == 0 || !isIdentifierPart(body[at - 1]))
                    && (after == body.size() || !isIdentifierPart(body[after]))) {
                    work.append(i);
                    break;
                }
            }
        }
    }
}

QStringView MacroTable::keep(const QString &name)
{
    m_keptNames.append(name);
    return m_keptNames.constLast();
}

const QList<int> *MacroTable::indexOf(QStringView name) const
{
    for (; m_indexed < m_definitions.size(); ++m_indexed) {
        const QStringView defined = m_definitions[m_indexed].name;
        auto it = m_byName.find(defined);
        if (it == m_byName.end()) {
            m_names.append(defined.toString());
            it = m_byName.insert(m_names.constLast(), {});
        }
        it->append(int(m_indexed));
    }
    const auto it = m_byName.constFind(name);
    return it == m_byName.cend() ? nullptr : &it.value();
}

qsizetype MacroTable::firstAt(qsizetype pos) const
{
    return std::partition_point(
                   m_definitions.cbegin(), m_definitions.cend(),
                   [&](const MacroDefinition &definition) { return definition.at < pos; })
            - m_definitions.cbegin();
}

void MacroTable::truncate(qsizetype from, QStringView oldText, QStringView newText)
{
    // A header's directives count at its #include in the main text.
    qsizetype keep = m_definitions.size();
    while (keep > 0 && m_definitions[keep - 1].at >= from)
        --keep;
    for (qsizetype i = qMin(m_indexed, m_definitions.size()) - 1; i >= keep; --i)
        m_byName[m_definitions[i].name].removeLast();
    m_indexed = qMin(m_indexed, keep);
    m_definitions.resize(keep);
    for (auto it = m_producers.begin(); it != m_producers.end();) {
        if (it.value() >= keep) {
            it = m_producers.erase(it);
            ++m_producersRevision;
        } else {
            ++it;
        }
    }
    if (m_shapes.size() > keep)
        m_shapes.resize(keep);
    const QChar *begin = oldText.data();
    const QChar *end = begin + oldText.size();
    for (MacroDefinition &definition : m_definitions) {
        if (definition.source.data() == begin)
            definition.source = newText;
        if (definition.name.data() >= begin && definition.name.data() < end)
            definition.name = QStringView(newText.data() + (definition.name.data() - begin),
                                          definition.name.size());
    }
}

const MacroDefinition *MacroTable::find(QStringView name, qsizetype use, qsizetype limit) const
{
    const qint32 index = findIndex(name, use, limit);
    return index < 0 ? nullptr : &m_definitions[index];
}

qint32 MacroTable::findIndex(QStringView name, qsizetype use, qsizetype limit) const
{
    const QList<int> *list = indexOf(name);
    if (!list)
        return -1;
    // The last directive before the use.
    const auto after = std::partition_point(list->cbegin(), list->cend(), [&](int index) {
        return m_definitions[index].at < use && (limit < 0 || index < limit);
    });
    if (after == list->cbegin())
        return -1;
    const int found = *(after - 1);
    return m_definitions[found].kind == MacroDefinition::Kind::Undefined ? -1 : found;
}

const MacroShape &MacroTable::shape(qsizetype index) const
{
    if (m_shapes.size() <= index)
        m_shapes.resize(m_definitions.size());
    std::shared_ptr<const MacroShape> &shape = m_shapes[index];
    if (!shape)
        shape = std::make_shared<const MacroShape>(MacroShape::read(m_definitions.at(index)));
    return *shape;
}

const MacroDefinition *MacroTable::replaced(const MacroDefinition &definition) const
{
    const QList<int> *list = indexOf(definition.name);
    if (!list)
        return nullptr;
    for (qsizetype i = list->size() - 1; i > 0; --i) {
        if (&m_definitions[list->at(i)] == &definition) {
            const MacroDefinition &before = m_definitions[list->at(i - 1)];
            return before.kind == MacroDefinition::Kind::Undefined ? nullptr : &before;
        }
    }
    return nullptr;
}

} // namespace VelkoMenuView
