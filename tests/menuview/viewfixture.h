// A MenuItems driven through the stand-in host: documents, an editor whose
// cursor the test moves, timer ticks invoked by name.
#pragma once

#include "menuview/menuitems.h"

#include "coreplugin/editormanager/editormanager.h"
#include "memorydocument.h"
#include "simpleeditor.h"
#include "utils/filepath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class ViewFixture
{
public:
    ViewFixture()
        : items(new MenuItems)
        , analyzedSpy(items.get(), &MenuItems::analyzed)
    { }
    ~ViewFixture() { Core::EditorManager::activateEditor(nullptr); }

    // Opens a document and makes an editor on it current, cursor at (line, column).
    VelkoMenuView::MemoryDocument *open(const QString &path, const QByteArray &text, int line = 1,
                                        int column = 1)
    {
        documents.emplace_back(new VelkoMenuView::MemoryDocument(path, text));
        editors.emplace_back(new VelkoMenuView::SimpleEditor(documents.back().get(), line, column));
        Core::EditorManager::openDocument(documents.back().get());
        Core::EditorManager::activateEditor(editors.back().get());
        return documents.back().get();
    }

    VelkoMenuView::SimpleEditor *editor() const
    {
        return editors.empty() ? nullptr : editors.back().get();
    }

    void moveCursor(int line, int column) { editor()->setCursor(line, column); }

    void tick() { QMetaObject::invokeMethod(items.get(), "onTimeout"); }

    // Closes without saving: the file keeps what it holds.
    void close(VelkoMenuView::MemoryDocument *document)
    {
        Core::EditorManager::closeDocument(document);
    }

    // Writes the document's text to its file, as a save after the values
    // typed so far, then closes it.
    void saveAndClose(VelkoMenuView::MemoryDocument *document)
    {
        writeFile(document->filePath().toString(), document->contents());
        close(document);
    }

    // Writes a file as saved at `when` (now by default).
    static void writeFile(const QString &path, const QByteArray &text,
                          const QDateTime &when = QDateTime())
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        // The file system's clock is coarser than the store's: the time is
        // set, and the clock let past it before anything else is written.
        QVERIFY(file.setFileTime(when.isValid() ? when : QDateTime::currentDateTime(),
                                 QFileDevice::FileModificationTime));
        QTest::qSleep(2);
    }

    void saveParam(int item, int paramNo, const QString &value)
    {
        QMetaObject::invokeMethod(items.get(), "saveSettingsParam", Q_ARG(int, item),
                                  Q_ARG(int, paramNo), Q_ARG(QString, value));
    }

    QSettings *settings() const { return items->settings(); }

    std::unique_ptr<MenuItems> items;
    QSignalSpy analyzedSpy;
    std::vector<std::unique_ptr<VelkoMenuView::MemoryDocument>> documents;
    std::vector<std::unique_ptr<VelkoMenuView::SimpleEditor>> editors;
};

// Clears the store between test functions; the store lives in the test's own
// temporary config folder.
inline void clearStore()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrix"),
              QStringLiteral("VelkoMenuView"))
            .clear();
}
