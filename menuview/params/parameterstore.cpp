// Loading, saving and pruning of stored parameter values.
#include "menuview/params/parameterstore.h"

#include "menuview/params/settingskeys.h"

#include "menuview/analysis/menupreview.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace VelkoMenuView {

namespace {

// A path or item text as one group name: "/" would nest groups.
QString groupKey(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString paramKey(int paramNo)
{
    return SettingsKeys::parameter(paramNo);
}

// The group of each item relative to its menu group: the item key for the
// first item of a text, "<item key>/<n>" for the n-th.
QStringList itemGroups(const QStringList &itemTexts)
{
    QStringList groups;
    groups.reserve(itemTexts.size());
    QHash<QString, int> seen;
    for (const QString &text : itemTexts) {
        const QString key = groupKey(text);
        const int n = ++seen[key];
        groups.append(n == 1 ? key : key + QLatin1Char('/') + QString::number(n));
    }
    return groups;
}

bool isOccurrence(QStringView name)
{
    bool ok = false;
    return name.toInt(&ok) >= 2 && ok && !name.startsWith(u'0');
}

// Stored item groups and occurrence groups of the current group's menu,
// relative to it, by asking the store group by group.
QSet<QString> storedItemGroups(QSettings &settings)
{
    QSet<QString> groups;
    for (const QString &item : settings.childGroups()) {
        groups.insert(item);
        settings.beginGroup(item);
        for (const QString &occurrence : settings.childGroups()) {
            if (isOccurrence(occurrence))
                groups.insert(item + QLatin1Char('/') + occurrence);
        }
        settings.endGroup();
    }
    return groups;
}

// The same for every menu of the current (document) group from one listing
// of its keys ("menu/item[/n]/ParamN"): a store query per menu would search
// the whole store for each of them.
QMap<QString, QSet<QString>> storedMenus(QSettings &settings)
{
    QMap<QString, QSet<QString>> menus;
    for (const QString &key : settings.allKeys()) {
        const QStringList parts = key.split(QLatin1Char('/'));
        if (parts.size() < 2)
            continue; // a value of the document group itself, not a menu group
        QSet<QString> &groups = menus[parts.at(0)];
        if (parts.size() >= 3)
            groups.insert(parts.at(1));
        if (parts.size() >= 4 && isOccurrence(parts.at(2)))
            groups.insert(parts.at(1) + QLatin1Char('/') + parts.at(2));
    }
    return menus;
}

} // namespace

QSettings *ParameterStore::openUserStore()
{
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         SettingsKeys::organization(), SettingsKeys::application());
}

QString ParameterStore::documentKey(const QString &filePath)
{
    return groupKey(filePath);
}

QList<QStringList> ParameterStore::load(const QString &filePath, const QString &menuName,
                                        const QStringList &itemTexts) const
{
    QList<QStringList> values(itemTexts.size());
    const QString docKey = documentKey(filePath);
    // A menu without a name has no group of its own: its items would land in
    // the document group, pose as menus there and be pruned as such.
    if (docKey.isEmpty() || menuName.isEmpty())
        return values;

    m_settings->beginGroup(docKey + QLatin1Char('/') + menuName);
    const QStringList stored = m_settings->childGroups();
    const QStringList groups = itemGroups(itemTexts);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QString &group = groups.at(i);
        const qsizetype slash = group.indexOf(QLatin1Char('/'));
        if (!stored.contains(slash < 0 ? group : group.left(slash)))
            continue;
        if (slash >= 0) {
            m_settings->beginGroup(group.left(slash));
            const bool present = m_settings->childGroups().contains(group.mid(slash + 1));
            m_settings->endGroup();
            if (!present)
                continue;
        }
        for (int n = 1; n <= 3; ++n)
            values[i].append(m_settings->value(group + QLatin1Char('/') + paramKey(n)).toString());
    }
    m_settings->endGroup();
    return values;
}

bool ParameterStore::save(const QString &filePath, const QString &menuName,
                          const QStringList &itemTexts, int itemIndex, int paramNo,
                          const QString &value)
{
    const QString docKey = documentKey(filePath);
    if (docKey.isEmpty() || menuName.isEmpty() || itemIndex < 0 || itemIndex >= itemTexts.size()
        || paramNo < 1 || paramNo > 3)
        return true;
    const QString group = itemGroups(itemTexts.first(itemIndex + 1)).constLast();
    m_settings->setValue(docKey + QLatin1Char('/') + menuName + QLatin1Char('/') + group
                                 + QLatin1Char('/') + paramKey(paramNo),
                         value);
    return flush();
}

void ParameterStore::prune(const QString &filePath, QStringView text)
{
    const QString docKey = documentKey(filePath);
    // An empty key would make every document's group look like a menu of this one.
    if (docKey.isEmpty())
        return;

    // Every block that parses claims the groups of its items; blocks of one
    // name pool their claims. A block that fails (a half-typed item, a
    // mistyped closing name) claims nothing but protects its menu, and while
    // any block failed no menu group of the document is dropped as unused.
    // Claims are kept as lists, sorted once at the end: a set per menu
    // would cost more to build than the few look-ups it serves.
    QHash<QString, QStringList> claimed;
    QSet<QString> protectedMenus;
    bool anyFailed = false;
    MenuBlocks blocks(text, MenuBlocks::Keywords::Anywhere);
    for (MenuBlock found; blocks.next(found);) {
        const MenuPreview preview = previewBlock(blocks.source(), found, {});
        const MenuDefinition &record = preview.block.menu;
        if (preview.outcome != MenuPreview::Outcome::Shown) {
            anyFailed = true;
            if (!record.name.isEmpty())
                protectedMenus.insert(record.name);
            continue;
        }
        if (record.name.isEmpty())
            continue;
        claimed[record.name].append(itemGroups(record.itemTexts));
    }
    for (QStringList &groups : claimed)
        std::sort(groups.begin(), groups.end());

    m_settings->beginGroup(docKey);
    const QMap<QString, QSet<QString>> stored = storedMenus(*m_settings);
    // A name with "/" is a chain of groups in the store: its menu lives under
    // the first of them, which therefore is in use.
    QSet<QString> nestingGroups;
    for (auto it = claimed.cbegin(); it != claimed.cend(); ++it) {
        const bool nested = it.key().contains(QLatin1Char('/'));
        if (nested)
            nestingGroups.insert(
                    it.key().section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty));
        if (protectedMenus.contains(it.key()) || (!nested && !stored.contains(it.key())))
            continue;
        m_settings->beginGroup(it.key());
        const QSet<QString> groups
                = nested ? storedItemGroups(*m_settings) : stored.value(it.key());
        for (const QString &group : groups) {
            if (!std::binary_search(it.value().cbegin(), it.value().cend(), group))
                m_settings->remove(group);
        }
        m_settings->endGroup();
    }
    if (!anyFailed) {
        for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
            if (!claimed.contains(it.key()) && !nestingGroups.contains(it.key()))
                m_settings->remove(it.key());
        }
    }
    m_settings->endGroup();
}

bool ParameterStore::flush() const
{
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // The status keeps the first error the object ever met: whether this
    // write reached the file, a fresh look at the file tells.
    const QSettings file(m_settings->fileName(), m_settings->format());
    return file.status() == QSettings::NoError && file.isWritable();
}

QString ParameterStore::problem() const
{
    switch (m_settings->status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("%1: access denied").arg(m_settings->fileName());
    case QSettings::FormatError:
        return QStringLiteral("%1: not in the settings format").arg(m_settings->fileName());
    }
    return m_settings->fileName();
}

} // namespace VelkoMenuView
