// The values typed for item parameters, kept in the user's settings store
// under document path, menu name, item and "ParamN".
#pragma once

#include "creader/sourcereader.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

class QSettings;

namespace VelkoMenuView {

// Key layout: <document path>/<menu name>/<item group>/Param1..Param3, the
// path with "/" turned into backslashes so that it stays one group; the item
// groups are ItemGroups' (itemgroups.h).
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

    // One entry per item: empty when nothing is stored for the item,
    // otherwise its Param1..Param3 values (missing ones empty). Items of one
    // text are told apart by their tags. Nothing is read for an empty path
    // or menu name.
    QList<QStringList> load(const QString &filePath, const QString &menuName,
                            const QStringList &itemTexts, const QStringList &itemTags = {}) const;

    // Writes value `paramNo` (1 to 3) of item `itemIndex`, and when. Nothing
    // is written for an empty path or menu name, or out-of-range numbers.
    // False when the store could not be written (see problem()).
    bool save(const QString &filePath, const QString &menuName, const QStringList &itemTexts,
              const QStringList &itemTags, int itemIndex, int paramNo, const QString &value);

    // Removes the values of the document's menus and items that `text` (as
    // saved, read as `context` says) no longer has (see readMenuClaims). A
    // group written after `savedAt` stays: its item may live in an editor's
    // unsaved text. Reads what other programs wrote first. Leaves the writing
    // to the store's own pace (see flush()).
    void prune(const QString &filePath, QStringView text, const ReadOptions &context = {},
               const QDateTime &savedAt = {});

    // Gives a document's values to another path: moved, or copied when the
    // old file stays. Values stored under the new path for the same items
    // are replaced.
    void moveDocument(const QString &from, const QString &to, bool keepOld);

    // Writes what is pending and reads what others wrote; false when the
    // store could not take it.
    bool flush() const;

    // Why the store cannot be read or written ("FILE: access denied"), or
    // empty while it can.
    QString problem() const;

private:
    QSettings *m_settings;
};

} // namespace VelkoMenuView
