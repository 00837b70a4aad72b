// The values typed for item parameters, kept in the user's settings store
// under document path, menu name, item text and "ParamN".
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class QSettings;

namespace VelkoMenuView {

// Key layout, one group level per part ("/" inside a path or an item text
// becomes a backslash, so that each stays one group):
//
//   <document path>/<menu name>/<item text>/Param1..Param3
//   <document path>/<menu name>/<item text>/<n>/Param1..Param3
//
// The second form holds the n-th item (n from 2) of a menu whose text an
// earlier item has already: older builds read only the ParamN keys of an item
// group, so they keep seeing the first item's values and ignore the others.
class ParameterStore
{
public:
    // Works on `settings`, which stays the caller's.
    explicit ParameterStore(QSettings *settings)
        : m_settings(settings)
    { }

    // A new settings object on the user's store ("Ombrix", "VelkoMenuView"),
    // named explicitly rather than through the application-wide names: those
    // belong to the host, whose own data paths follow them.
    static QSettings *openUserStore();

    // The document's group name: its path with "/" turned into backslashes.
    static QString documentKey(const QString &filePath);

    // One entry per item text: empty when nothing is stored for the item,
    // otherwise its Param1..Param3 values (missing ones empty). Nothing is
    // read for an empty path or menu name.
    QList<QStringList> load(const QString &filePath, const QString &menuName,
                            const QStringList &itemTexts) const;

    // Writes value `paramNo` (1 to 3) of item `itemIndex`. Nothing is written
    // for an empty path or menu name, or out-of-range numbers. False when
    // the store could not be written (see problem()).
    bool save(const QString &filePath, const QString &menuName, const QStringList &itemTexts,
              int itemIndex, int paramNo, const QString &value);

    // Removes the values of the document's menus and items that `text` no
    // longer defines. Menus are found by their opening keywords wherever they
    // stand, commented-out ones included, so that no value is lost to a
    // temporary edit; a menu that does not parse keeps all its values, and
    // while any menu does not parse no menu group is dropped as unused.
    // Leaves the writing to the store's own pace (see flush()).
    void prune(const QString &filePath, QStringView text);

    // Writes what is pending; false when the store could not take it.
    bool flush() const;

    // Why the store cannot be read or written ("FILE: access denied"), or
    // empty while it can.
    QString problem() const;

private:
    QSettings *m_settings;
};

} // namespace VelkoMenuView
