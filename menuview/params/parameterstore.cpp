// MenuItems' parameter store: values typed for item parameters, kept in the
// settings under document path, menu name, item text and "ParamN".
#include "menuview/analysis/menuitems.h"

#include "menuview/params/menublocks.h"
#include "utils/filepath.h"

#include <QHash>
#include <QSet>
#include <QSettings>
#include <QTextCodec>

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
    if (!document || itemIndex < 0 || itemIndex >= menu.itemTexts.size() || paramNo < 1 || paramNo > 3)
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
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(closed->contents());

    // Every block that parses claims its items; blocks of one name pool their
    // claims. A block that fails (a half-typed item, a mistyped closing name)
    // claims nothing but protects its menu, and while any block failed no
    // menu group of the document is dropped as unused.
    QHash<QString, QSet<QString>> claimed;
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
        QSet<QString> &items = claimed[record.name];
        for (const QString &itemText : std::as_const(record.itemTexts))
            items.insert(groupKey(itemText));
    }

    m_settings->beginGroup(docKey);
    const QStringList storedMenus = m_settings->childGroups();
    QSet<QString> unusedMenus(storedMenus.cbegin(), storedMenus.cend());
    for (auto it = claimed.cbegin(); it != claimed.cend(); ++it) {
        unusedMenus.remove(it.key());
        if (protectedMenus.contains(it.key()))
            continue;
        m_settings->beginGroup(it.key());
        const QStringList storedItems = m_settings->childGroups();
        for (const QString &item : storedItems) {
            if (!it.value().contains(item))
                m_settings->remove(item);
        }
        m_settings->endGroup();
    }
    if (!anyFailed) {
        for (const QString &menuName : std::as_const(unusedMenus))
            m_settings->remove(menuName);
    }
    m_settings->endGroup();
}
