// Core::IDocument: a document open in the host. The plug-in reads its
// contents and path and listens to contentsChanged.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace Utils {
class FilePath;
}

namespace Core {

namespace Internal {
class IDocumentPrivate;
}

class IDocument : public QObject
{
    Q_OBJECT

public:
    enum class OpenResult { Success, ReadError, CannotHandle };
    enum ChangeTrigger { TriggerInternal, TriggerExternal };
    enum ChangeType { TypeContents, TypeRemoved };
    enum ReloadSetting { AlwaysAsk, ReloadUnmodified, IgnoreAll };
    enum ReloadFlag { FlagReload, FlagIgnore };
    enum ReloadBehavior { BehaviorAsk, BehaviorSilent };

    IDocument(QObject *parent = nullptr);
    ~IDocument() override;

    virtual OpenResult open(QString *errorString, const Utils::FilePath &filePath,
                            const Utils::FilePath &realFilePath);
    virtual bool save(QString *errorString, const Utils::FilePath &filePath, bool autoSave);
    virtual QByteArray contents() const;
    virtual bool setContents(const QByteArray &contents);
    virtual void setFilePath(const Utils::FilePath &filePath);
    virtual Utils::FilePath fallbackSaveAsPath() const;
    virtual QString fallbackSaveAsFileName() const;
    virtual bool shouldAutoSave() const;
    virtual bool isModified() const;
    virtual bool isSaveAsAllowed() const;
    virtual ReloadBehavior reloadBehavior(ChangeTrigger state, ChangeType type) const;
    virtual bool reload(QString *errorString, ReloadFlag flag, ChangeType type);

    const Utils::FilePath &filePath() const;

signals:
    void changed();
    void contentsChanged();
    void filePathChanged(const Utils::FilePath &oldName, const Utils::FilePath &newName);

private:
    Internal::IDocumentPrivate *d;
};

} // namespace Core
