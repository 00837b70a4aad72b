// MenuItems' parameter store: values typed for item parameters, kept in the
// settings under document path, menu name, item text and "ParamN".
#include "menuview/analysis/menuitems.h"

#include "menuview/params/menublocks.h"
#include "utils/filepath.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace {

// A path or item text as one group name: "/" would nest groups.
QString groupKey(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString documentKey(const Core::IDocument *document)
{
    return groupKey(document->filePath().toString());
}

QString paramKey(int paramNo)
{
    return QStringLiteral("Param") + QString::number(paramNo);
}

} // namespace

void MenuItems::loadSettingsParams()
{
    if (!document)
        return;
    menu.paramValues.clear();
    for (qsizetype i = 0; i < menu.itemTexts.size(); ++i)
        menu.paramValues.append(QStringList());
    // A menu without a name has no group of its own: its items would land in
    // the document group, pose as menus there and be pruned as such.
    if (menu.name.isEmpty())
        return;

    const QString menuGroup = documentKey(document) + QLatin1Char('/') + menu.name;
    m_settings->beginGroup(menuGroup);
    QStringList stored = m_settings->childGroups();
    m_settings->endGroup();

    for (qsizetype i = 0; i < menu.itemTexts.size(); ++i) {
        const QString itemKey = groupKey(menu.itemTexts.at(i));
        const qsizetype match = stored.indexOf(itemKey);
        if (match < 0)
            continue;
        for (int n = 1; n <= 3; ++n) {
            const QString key = menuGroup + QLatin1Char('/') + itemKey + QLatin1Char('/') + paramKey(n);
            menu.paramValues[i].append(m_settings->value(key).toString());
        }
        stored.removeAt(match);
    }
}

void MenuItems::saveSettingsParam(int itemIndex, int paramNo, const QString &value)
{
    if (!document || menu.name.isEmpty() || itemIndex < 0 || itemIndex >= menu.itemTexts.size()
        || paramNo < 1 || paramNo > 3)
        return;
    const QString key = documentKey(document) + QLatin1Char('/') + menu.name + QLatin1Char('/')
            + groupKey(menu.itemTexts.at(itemIndex)) + QLatin1Char('/') + paramKey(paramNo);
    m_settings->setValue(key, value);
}

void MenuItems::deleteUnusedSettings(Core::IDocument *closed)
{
    if (!closed)
        return;
    const QString docKey = documentKey(closed);
    // An empty key would make every document's group look like a menu of this one.
    if (docKey.isEmpty())
        return;
    const QString text = decodeDocument(closed->contents());

    // Every block that parses claims its items; blocks of one name pool their
    // claims. A block that fails (a half-typed item, a mistyped closing name)
    // claims nothing but protects its menu, and while any block failed no
    // menu group of the document is dropped as unused.
    // Claims are kept as sorted lists: a hash set per menu would cost more to
    // build than the few look-ups it serves.
    QHash<QString, QStringList> claimed;
    QSet<QString> protectedMenus;
    bool anyFailed = false;
    MenuBlocks blocks(text);
    MenuDefinition record;
    while (blocks.parseNext(record)) {
        if (!blocks.lastSucceeded()) {
            anyFailed = true;
            if (!record.name.isEmpty())
                protectedMenus.insert(record.name);
            continue;
        }
        if (record.name.isEmpty())
            continue;
        QStringList &items = claimed[record.name];
        for (const QString &itemText : std::as_const(record.itemTexts))
            items.append(groupKey(itemText));
    }
    for (QStringList &items : claimed)
        std::sort(items.begin(), items.end());

    m_settings->beginGroup(docKey);
    // One listing of the document's keys ("menu/item/ParamN") gives every
    // stored menu and its item groups: a store query per menu would cost a
    // search of the whole store for each of them.
    QMap<QString, QStringList> storedMenus;
    QStringList *items = nullptr; // of the menu of the key before: keys come sorted
    QString menuName;
    const QStringList keys = m_settings->allKeys();
    for (const QString &key : keys) {
        const qsizetype menuEnd = key.indexOf(QLatin1Char('/'));
        if (menuEnd < 0)
            continue; // a value of the document group itself, not a menu group
        if (!items || QStringView(key).first(menuEnd) != menuName) {
            menuName = key.left(menuEnd);
            items = &storedMenus[menuName];
        }
        const qsizetype itemEnd = key.indexOf(QLatin1Char('/'), menuEnd + 1);
        if (itemEnd < 0)
            continue;
        const QStringView item = QStringView(key).sliced(menuEnd + 1, itemEnd - menuEnd - 1);
        if (items->isEmpty() || items->constLast() != item)
            items->append(item.toString());
    }
    // A name with "/" is a chain of groups in the store: its menu lives under
    // the first of them, which therefore is in use.
    QSet<QString> nestingGroups;
    for (auto it = claimed.cbegin(); it != claimed.cend(); ++it) {
        const bool nested = it.key().contains(QLatin1Char('/'));
        if (nested)
            nestingGroups.insert(it.key().section(QLatin1Char('/'), 0, 0, QString::SectionSkipEmpty));
        if (protectedMenus.contains(it.key()))
            continue;
        const QStringList stored = nested ? QStringList() : storedMenus.value(it.key());
        if (!nested && stored.isEmpty())
            continue;
        m_settings->beginGroup(it.key());
        for (const QString &item : nested ? m_settings->childGroups() : stored) {
            if (!std::binary_search(it.value().cbegin(), it.value().cend(), item))
                m_settings->remove(item);
        }
        m_settings->endGroup();
    }
    if (!anyFailed) {
        for (auto it = storedMenus.cbegin(); it != storedMenus.cend(); ++it) {
            if (!claimed.contains(it.key()) && !nestingGroups.contains(it.key()))
                m_settings->remove(it.key());
        }
    }
    m_settings->endGroup();
}
