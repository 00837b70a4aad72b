// Which group each item of a menu reads and writes, told from the groups the
// store holds.
#include "menuview/params/itemgroups.h"

#include "menuview/params/settingskeys.h"

#include <QHash>
#include <QSet>
#include <QSettings>

#include <algorithm>

namespace VelkoMenuView {

namespace {

// More texts mapping to one group than this in one menu share the last one.
constexpr int MaxCandidates = 64;

QString plainGroup(QString text)
{
    return text.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

bool mayCollide(const QString &text)
{
    return text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('\\'));
}

// A tag spelled so that no two tags come out alike and none nests groups.
QString escapedTag(QString tag)
{
    return tag.replace(u'\\', QLatin1String("\\\\")).replace(u'/', QLatin1String("\\!"));
}

} // namespace

ItemGroups::ItemGroups(QSettings &settings, const QStringList &texts, const QStringList &tags,
                       const QStringList *stored)
    : m_settings(settings)
{
    const QStringList listed = stored ? QStringList() : settings.childGroups();
    const QStringList &groups = stored ? *stored : listed;
    const QSet<QString> present(groups.cbegin(), groups.cend());
    QHash<QString, QString> firstOfPlain; // plain group -> the first text mapping to it
    for (const QString &text : texts)
        firstOfPlain.insert(plainGroup(text), firstOfPlain.value(plainGroup(text), text));

    QHash<QString, QString> groupOfText;
    QHash<QString, QString> takenBy; // group -> text
    const auto resolve = [&](const QString &text) {
        const QString plain = plainGroup(text);
        if (!mayCollide(text))
            return plain;
        const auto candidate = [&](int k) {
            return k == 1 ? plain : plain + QLatin1String("\\#") + QString::number(k);
        };
        const auto owner = [&](const QString &group) {
            return settings.value(group + QLatin1Char('/') + textKey());
        };
        // A group this text owns already, however the other texts stand today.
        for (int k = 1; k <= MaxCandidates; ++k) {
            const QString group = candidate(k);
            if (!present.contains(group))
                continue;
            if (!takenBy.contains(group) && owner(group).toString() == text)
                return group;
        }
        // An older store's group: the first item that maps to it owns it.
        if (present.contains(plain) && !takenBy.contains(plain) && !owner(plain).isValid()
            && firstOfPlain.value(plain) == text) {
            return plain;
        }
        for (int k = 1; k <= MaxCandidates; ++k) {
            const QString group = candidate(k);
            if (!present.contains(group) && !takenBy.contains(group))
                return group;
        }
        return candidate(MaxCandidates);
    };

    QHash<QString, int> ofText;
    QHash<std::pair<QString, QString>, int> ofTextAndTag;
    for (const QString &text : texts)
        ++ofText[text];
    QHash<QString, int> seenText;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QString &text = texts.at(i);
        const QString tag = tags.value(i);
        auto known = groupOfText.constFind(text);
        if (known == groupOfText.cend()) {
            const QString group = resolve(text);
            takenBy.insert(group, text);
            known = groupOfText.insert(text, group);
        }
        Item item;
        item.text = text;
        item.textGroup = *known;
        item.twin = ofText.value(text) > 1;
        const int n = ++seenText[text];
        item.occurrenceGroup
                = n == 1 ? item.textGroup : item.textGroup + QLatin1Char('/') + QString::number(n);
        if (!tag.isEmpty()) {
            const int m = ++ofTextAndTag[{text, tag}];
            item.twinGroup = item.textGroup + QLatin1String("/@") + escapedTag(tag)
                    + (m == 1 ? QString() : QLatin1Char('@') + QString::number(m));
        }
        m_items.append(item);
    }

    // An older store's group that two texts map to gets its owner written
    // down, so that it stays that item's when the other text goes.
    for (auto it = takenBy.cbegin(); it != takenBy.cend(); ++it) {
        const QString &group = it.key();
        if (!mayCollide(it.value()) || !present.contains(group) || group != plainGroup(it.value()))
            continue;
        const bool shared = std::any_of(texts.cbegin(), texts.cend(), [&](const QString &t) {
            return t != it.value() && plainGroup(t) == group;
        });
        if (shared && !settings.value(group + QLatin1Char('/') + textKey()).isValid())
            settings.setValue(group + QLatin1Char('/') + textKey(), it.value());
    }
}

bool ItemGroups::holdsValues(const QString &group) const
{
    for (int n = 1; n <= 3; ++n) {
        if (m_settings.contains(group + QLatin1Char('/') + SettingsKeys::parameter(n)))
            return true;
    }
    return false;
}

QString ItemGroups::readGroup(qsizetype i) const
{
    const Item &item = m_items.at(i);
    if (!item.twinGroup.isEmpty() && holdsValues(item.twinGroup))
        return item.twinGroup;
    return holdsValues(item.occurrenceGroup) ? item.occurrenceGroup : QString();
}

QStringList ItemGroups::writeGroups(qsizetype i) const
{
    const Item &item = m_items.at(i);
    if (item.twin)
        return {item.twinGroup.isEmpty() ? item.occurrenceGroup : item.twinGroup};
    // A lone item keeps the place older builds read, and the one it had as
    // a twin while that still holds values.
    QStringList groups {item.occurrenceGroup};
    if (!item.twinGroup.isEmpty() && holdsValues(item.twinGroup))
        groups.append(item.twinGroup);
    return groups;
}

bool ItemGroups::recordsText(qsizetype i) const
{
    return mayCollide(m_items.at(i).text);
}

QStringList ItemGroups::claims() const
{
    QStringList groups;
    for (const Item &item : m_items) {
        groups.append(item.textGroup);
        groups.append(item.occurrenceGroup);
        if (!item.twinGroup.isEmpty())
            groups.append(item.twinGroup);
    }
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    return groups;
}

bool ItemGroups::isItemSubgroup(QStringView name)
{
    if (name.startsWith(u'@'))
        return true;
    bool ok = false;
    return name.toInt(&ok) >= 2 && ok && !name.startsWith(u'0');
}

} // namespace VelkoMenuView
