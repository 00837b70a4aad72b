// Loading, saving, pruning and moving of stored parameter values.
#include "menuview/params/parameterstore.h"

#include "menuview/params/itemgroups.h"
#include "menuview/params/menuclaims.h"
#include "menuview/params/settingskeys.h"
#include "menuview/params/storechanges.h"

#include <QHash>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace VelkoMenuView {

namespace {

QString writtenNow()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

// The groups under a document's group, from one listing of its keys: a
// store query per group would search the whole store for each of them.
class GroupTree
{
public:
    // `keys` relative to the group `settings` stands in.
    GroupTree(QSettings &settings, const QStringList &keys)
    {
        m_nodes.append(Node());
        for (const QString &key : keys) {
            const QStringList parts = key.split(QLatin1Char('/'));
            QList<int> path {0};
            for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
                const int parent = path.constLast();
                int node = m_nodes.at(parent).children.value(parts.at(i), -1);
                if (node < 0) {
                    node = int(m_nodes.size());
                    m_nodes.append(Node());
                    m_nodes[parent].children.insert(parts.at(i), node);
                }
                path.append(node);
            }
            if (parts.constLast() != ItemGroups::writtenKey())
                continue;
            const QDateTime written
                    = QDateTime::fromString(settings.value(key).toString(), Qt::ISODateWithMs);
            for (const int node : path) {
                if (written.isValid() && !(written <= m_nodes.at(node).newest))
                    m_nodes[node].newest = written;
            }
        }
    }

    // The node of the group `path` names below `node` ("a/b"); -1 for none.
    int find(int node, QStringView path) const
    {
        for (const QStringView part : path.split(u'/')) {
            if (node < 0)
                break;
            node = m_nodes.at(node).children.value(part.toString(), -1);
        }
        return node;
    }
    QStringList children(int node) const { return m_nodes.at(node).children.keys(); }
    // Whether anything in the group was written after `when`.
    bool writtenAfter(int node, const QDateTime &when) const
    {
        const QDateTime &newest = m_nodes.at(node).newest;
        return when.isValid() && newest.isValid() && newest > when;
    }

private:
    struct Node
    {
        QHash<QString, int> children;
        QDateTime newest; // the latest "Written" inside
    };
    QList<Node> m_nodes;
};

} // namespace

QSettings *ParameterStore::openUserStore()
{
    return new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                         SettingsKeys::organization(), SettingsKeys::application());
}

QString ParameterStore::documentKey(const QString &filePath)
{
    return QString(filePath).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QList<QStringList> ParameterStore::load(const QString &filePath, const QString &menuName,
                                        const QStringList &itemTexts,
                                        const QStringList &itemTags) const
{
    QList<QStringList> values(itemTexts.size());
    const QString docKey = documentKey(filePath);
    // A menu without a name has no group of its own: its items would land in
    // the document group, pose as menus there and be pruned as such.
    if (docKey.isEmpty() || menuName.isEmpty())
        return values;

    m_settings->beginGroup(docKey + QLatin1Char('/') + menuName);
    const ItemGroups groups(*m_settings, itemTexts, itemTags);
    for (qsizetype i = 0; i < itemTexts.size(); ++i) {
        const QString group = groups.readGroup(i);
        if (group.isEmpty())
            continue;
        for (int n = 1; n <= 3; ++n) {
            values[i].append(
                    m_settings->value(group + QLatin1Char('/') + SettingsKeys::parameter(n))
                            .toString());
        }
    }
    m_settings->endGroup();
    return values;
}

bool ParameterStore::save(const QString &filePath, const QString &menuName,
                          const QStringList &itemTexts, const QStringList &itemTags, int itemIndex,
                          int paramNo, const QString &value)
{
    const QString docKey = documentKey(filePath);
    if (docKey.isEmpty() || menuName.isEmpty() || itemIndex < 0 || itemIndex >= itemTexts.size()
        || paramNo < 1 || paramNo > 3)
        return true;
    m_settings->beginGroup(docKey + QLatin1Char('/') + menuName);
    const ItemGroups groups(*m_settings, itemTexts, itemTags);
    const QString written = writtenNow();
    for (const QString &group : groups.writeGroups(itemIndex)) {
        m_settings->setValue(group + QLatin1Char('/') + SettingsKeys::parameter(paramNo), value);
        m_settings->setValue(group + QLatin1Char('/') + ItemGroups::writtenKey(), written);
    }
    if (groups.recordsText(itemIndex)) {
        m_settings->setValue(groups.textGroup(itemIndex) + QLatin1Char('/') + ItemGroups::textKey(),
                             itemTexts.at(itemIndex));
    }
    m_settings->endGroup();
    const bool flushed = flush();
    emit StoreChanges::instance()->changed(filePath);
    return flushed;
}

void ParameterStore::prune(const QString &filePath, QStringView text, const ReadOptions &context,
                           const QDateTime &savedAt)
{
    const QString docKey = documentKey(filePath);
    // An empty key would make every document's group look like a menu of this one.
    if (docKey.isEmpty())
        return;
    const MenuClaims claims = readMenuClaims(text, context);
    // Another program may have written since this one last looked.
    m_settings->sync();

    m_settings->beginGroup(docKey);
    const GroupTree tree(*m_settings, m_settings->allKeys());
    // A name with "/" is a chain of groups in the store: "a/b" lives under
    // "a", whose group is therefore in use, and whose item groups named "b"
    // are another menu's.
    QSet<QString> inUse = claims.keepAll;
    for (auto it = claims.menus.cbegin(); it != claims.menus.cend(); ++it)
        inUse.insert(it.key());
    QSet<QString> firstParts;
    QSet<QString> nesting; // "a/b" for a menu "a/b/c"
    for (const QString &name : inUse) {
        const QStringList parts = name.split(QLatin1Char('/'));
        firstParts.insert(parts.constFirst());
        for (qsizetype i = 1; i < parts.size(); ++i)
            nesting.insert(parts.first(i + 1).join(QLatin1Char('/')));
    }
    const auto removeUnlessNew = [&](int node, const QString &group) {
        if (!tree.writtenAfter(node, savedAt))
            m_settings->remove(group);
    };

    for (auto it = claims.menus.cbegin(); it != claims.menus.cend(); ++it) {
        const QString &name = it.key();
        const int menu = tree.find(0, name);
        if (claims.keepAll.contains(name) || menu < 0)
            continue;
        m_settings->beginGroup(name);
        QStringList claimed;
        const QStringList stored = tree.children(menu);
        for (const MenuClaims::Block &block : it.value())
            claimed += ItemGroups(*m_settings, block.texts, block.tags, &stored).claims();
        std::sort(claimed.begin(), claimed.end());
        const auto isClaimed = [&](const QString &group) {
            return std::binary_search(claimed.cbegin(), claimed.cend(), group);
        };
        for (const QString &item : stored) {
            const int node = tree.find(menu, item);
            if (nesting.contains(name + QLatin1Char('/') + item))
                continue;
            if (!isClaimed(item)) {
                removeUnlessNew(node, item);
                continue;
            }
            for (const QString &sub : tree.children(node)) {
                const QString group = item + QLatin1Char('/') + sub;
                if (ItemGroups::isItemSubgroup(sub) && !isClaimed(group))
                    removeUnlessNew(tree.find(node, sub), group);
            }
        }
        m_settings->endGroup();
    }
    // A definition that did not parse may be any menu's: none counts as gone.
    if (claims.complete) {
        for (const QString &menu : tree.children(0)) {
            if (!firstParts.contains(menu))
                removeUnlessNew(tree.find(0, menu), menu);
        }
    }
    m_settings->endGroup();
    emit StoreChanges::instance()->changed(filePath);
}

void ParameterStore::moveDocument(const QString &from, const QString &to, bool keepOld)
{
    const QString fromKey = documentKey(from);
    const QString toKey = documentKey(to);
    if (fromKey.isEmpty() || toKey.isEmpty() || fromKey == toKey)
        return;
    m_settings->sync();
    m_settings->beginGroup(fromKey);
    const QStringList keys = m_settings->allKeys();
    m_settings->endGroup();
    if (keys.isEmpty())
        return;
    for (const QString &key : keys) {
        m_settings->setValue(toKey + QLatin1Char('/') + key,
                             m_settings->value(fromKey + QLatin1Char('/') + key));
    }
    if (!keepOld)
        m_settings->remove(fromKey);
    flush();
    emit StoreChanges::instance()->changed(from);
    emit StoreChanges::instance()->changed(to);
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
