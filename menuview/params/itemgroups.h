// Where each item of a menu keeps its values in the store, relative to the
// menu's group:
//
//   <text>/ParamN                 the item, or the first of several of one text
//   <text>/<n>/ParamN             the n-th item of one text, n from 2 (older stores)
//   <text>/@<tag>[@<m>]/ParamN    an item of one text told apart by what else it
//                                 says (its tag), the m-th of that text and tag
//
// <text> is the item text with "/" turned into a backslash, so that it stays
// one group. Two texts that come out alike ("a/b", "a\b") each own a group:
// a group records the text that owns it ("Text") where the text has either
// character, and a second text takes "<text>\#2" and so on. A group that
// records nothing belongs to the first item of the menu that maps to it, as
// older stores had it. Written groups also record when ("Written").
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

namespace VelkoMenuView {

class ItemGroups
{
public:
    // `settings` stands in the menu's group; the items are given by text and
    // tag, in menu order. `stored`: the menu group's child groups, when the
    // caller has them already.
    ItemGroups(QSettings &settings, const QStringList &texts, const QStringList &tags,
               const QStringList *stored = nullptr);

    // The group item `i`'s values are read from; empty when none holds any.
    QString readGroup(qsizetype i) const;
    // The groups a new value of item `i` is written to.
    QStringList writeGroups(qsizetype i) const;
    // The text group of item `i`, and the text it records when it must.
    QString textGroup(qsizetype i) const { return m_items.at(i).textGroup; }
    bool recordsText(qsizetype i) const;
    // Every group the items use or may fall back on, sorted.
    QStringList claims() const;

    // Groups inside a text group that hold one item each.
    static bool isItemSubgroup(QStringView name);

    static QString writtenKey() { return QStringLiteral("Written"); }
    static QString textKey() { return QStringLiteral("Text"); }

private:
    struct Item
    {
        QString text;
        QString textGroup;
        QString twinGroup; // empty without a tag
        QString occurrenceGroup; // the text group itself for the first of a text
        bool twin = false; // another item has the same text
    };

    bool holdsValues(const QString &group) const;

    QSettings &m_settings;
    QList<Item> m_items;
};

} // namespace VelkoMenuView
