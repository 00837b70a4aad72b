// Stored values for a view: the cache, the refresh, the pruning on close and
// the following of renames.
#include "menuview/documentvalues.h"

#include "coreplugin/idocument.h"
#include "menuview/params/parameterstore.h"
#include "menuview/params/storechanges.h"
#include "utils/filepath.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace VelkoMenuView {

DocumentValues::DocumentValues(QSettings *settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
    // Every write of this process, whichever view made it, shows in every view.
    connect(StoreChanges::instance(), &StoreChanges::changed, this, [this](const QString &path) {
        m_loaded.valid = false;
        emit changed(path);
    });
    m_refresh.setInterval(RefreshInterval);
    connect(&m_refresh, &QTimer::timeout, this, &DocumentValues::lookAtStoreFile);
    m_refresh.start();
    m_storeFile.note(m_settings->fileName());
}

void DocumentValues::lookAtStoreFile()
{
    if (!m_storeFile.changed())
        return;
    m_storeFile.clear();
    m_storeFile.note(m_settings->fileName());
    // Another program wrote (or this one did): read the store again.
    m_settings->sync();
    m_loaded.valid = false;
    emit changed(QString());
}

QList<QStringList> DocumentValues::values(const QString &path, const QString &menuName,
                                          const QStringList &itemTexts, const QStringList &itemTags)
{
    if (!m_loaded.valid || m_loaded.path != path || m_loaded.menuName != menuName
        || m_loaded.itemTexts != itemTexts || m_loaded.itemTags != itemTags) {
        m_loaded = {true,     path,
                    menuName, itemTexts,
                    itemTags, ParameterStore(m_settings).load(path, menuName, itemTexts, itemTags)};
    }
    return m_loaded.values;
}

QStringList DocumentValues::current(const QString &path, const QString &menuName,
                                    const QStringList &itemTexts, const QStringList &itemTags,
                                    qsizetype item)
{
    m_settings->sync();
    return ParameterStore(m_settings).load(path, menuName, itemTexts, itemTags).value(item);
}

bool DocumentValues::save(const QString &path, const QString &menuName,
                          const QStringList &itemTexts, const QStringList &itemTags, int itemIndex,
                          int paramNo, const QString &value)
{
    m_loaded.valid = false;
    return ParameterStore(m_settings)
            .save(path, menuName, itemTexts, itemTags, itemIndex, paramNo, value);
}

void DocumentValues::prune(const QString &path, const ReadOptions &context)
{
    if (path.isEmpty())
        return;
    // What persists is the file: an editor's text may be a discarded one.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.readAll());
    const QDateTime saved = QFileInfo(file).lastModified();
    file.close();
    m_loaded.valid = false;
    ParameterStore(m_settings).prune(path, text, context, saved);
}

void DocumentValues::follow(Core::IDocument *document)
{
    if (!document)
        return;
    // Direct: the paths arrive as references the host owns.
    connect(document, &Core::IDocument::filePathChanged, this, &DocumentValues::pathChanged,
            Qt::UniqueConnection);
}

void DocumentValues::pathChanged(const Utils::FilePath &from, const Utils::FilePath &to)
{
    const QString oldPath = from.toString();
    ParameterStore(m_settings).moveDocument(oldPath, to.toString(), QFileInfo::exists(oldPath));
}

} // namespace VelkoMenuView
