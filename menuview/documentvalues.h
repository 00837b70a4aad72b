// The stored values as a view sees them: loaded once per menu until the store
// changes (in this process at once, in another within the refresh), pruned
// against a closed document's file as saved, and moved with a document that
// changes its path.
#pragma once

#include "creader/sourcereader.h"
#include "menuview/files/filestamps.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class QSettings;

namespace Core {
class IDocument;
}
namespace Utils {
class FilePath;
}

namespace VelkoMenuView {

class DocumentValues : public QObject
{
    Q_OBJECT

public:
    // Works on `settings`, which stays the caller's.
    explicit DocumentValues(QSettings *settings, QObject *parent = nullptr);

    // The values of a menu's items, as last loaded while nothing changed.
    QList<QStringList> values(const QString &path, const QString &menuName,
                              const QStringList &itemTexts, const QStringList &itemTags);
    // The values of one item as the store holds them now.
    QStringList current(const QString &path, const QString &menuName, const QStringList &itemTexts,
                        const QStringList &itemTags, qsizetype item);
    // False when the store could not be written.
    bool save(const QString &path, const QString &menuName, const QStringList &itemTexts,
              const QStringList &itemTags, int itemIndex, int paramNo, const QString &value);

    // Prunes the values of the document at `path` against its file as saved,
    // read as `context` says; a file that is gone prunes nothing.
    void prune(const QString &path, const ReadOptions &context);

    // Follows `document` when it changes its path: a rename takes the values
    // along, a "save as" copies them.
    void follow(Core::IDocument *document);

    // How often the store's file is looked at for other programs' writes.
    static constexpr int RefreshInterval = 2000; // ms

signals:
    // The values of the document at `path` changed; an empty path: any document's.
    void changed(const QString &path);

private:
    void lookAtStoreFile();
    void pathChanged(const Utils::FilePath &from, const Utils::FilePath &to);

    QSettings *m_settings;
    QTimer m_refresh;
    FileStamps m_storeFile; // as last looked at
    struct Loaded
    {
        bool valid = false;
        QString path;
        QString menuName;
        QStringList itemTexts;
        QStringList itemTags;
        QList<QStringList> values;
    };
    Loaded m_loaded;
};

} // namespace VelkoMenuView
