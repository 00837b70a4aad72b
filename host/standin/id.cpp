// Interned identifiers: each distinct name gets a number for the process' life.
#include "utils/id.h"

#include <QHash>
#include <QList>

namespace {

struct Registry
{
    QHash<QByteArray, quintptr> ids;
    QList<QByteArray> names {QByteArray()}; // id 0 is the invalid one
};

Registry &registry()
{
    // Never destroyed: ids may be made or read by destructors that run at exit.
    static auto *r = new Registry;
    return *r;
}

} // namespace

namespace Utils {

Id::Id(const char *name)
{
    if (!name || !*name)
        return;
    Registry &r = registry();
    const QByteArray key(name);
    auto it = r.ids.constFind(key);
    if (it == r.ids.constEnd()) {
        it = r.ids.insert(key, quintptr(r.names.size()));
        r.names.append(key);
    }
    m_id = *it;
}

QByteArray Id::name() const
{
    return registry().names.value(qsizetype(m_id));
}

QString Id::toString() const
{
    return QString::fromUtf8(name());
}

} // namespace Utils
