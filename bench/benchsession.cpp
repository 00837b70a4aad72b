// The benchmark's view session. Values are written through the view's own
// settings object.
#include "benchsession.h"

#include "coreplugin/editormanager/editormanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <benchmark/benchmark.h>

namespace {

// The pruning on close reads the file as saved: the document is written there.
QString defaultPath()
{
    return QDir::temp().filePath(QStringLiteral("velko-bench/firmware/menus.c"));
}

} // namespace

BenchSession::BenchSession(const BenchDocument &document, int removedItems, const QString &path)
    : m_text(document)
    , m_path(path.isEmpty() ? defaultPath() : path)
    , m_typed(document.text)
    , m_removedItems(removedItems)
    , m_items(new MenuItems)
{
    // Values come from the file, as they would after a restart, and nothing
    // of an earlier session lingers in the store's memory.
    QSettings *settings = m_items->settings();
    settings->clear();
    storeValues(*settings, m_path, document, true, removedItems);
    settings->sync();
    qsizetype lineStart = 0;
    for (int line = 1; line < document.cursorLine && lineStart >= 0; ++line)
        lineStart = m_typed.indexOf('\n', lineStart) + 1;
    m_typed.insert(qMax<qsizetype>(lineStart, 0), ' ');
    QDir().mkpath(QFileInfo(m_path).path());
    QFile saved(m_path);
    if (saved.open(QIODevice::WriteOnly | QIODevice::Truncate))
        saved.write(document.text);
    m_document.reset(new VelkoMenuView::MemoryDocument(m_path, document.text));
    m_editor.reset(new VelkoMenuView::SimpleEditor(m_document.get(), document.cursorLine, 5));
    Core::EditorManager::activateEditor(m_editor.get());
    QMetaObject::invokeMethod(m_items.get(), "onTimeout");
}

BenchSession::~BenchSession()
{
    Core::EditorManager::activateEditor(nullptr);
}

bool BenchSession::showsStoredValues() const
{
    if (!m_items->isMenuValid())
        return false;
    const MenuDefinition &shown = m_items->menuDefinition();
    for (const BenchMenu &menu : m_text.menus) {
        if (menu.name != shown.name)
            continue;
        if (shown.itemTexts != menu.itemTexts || shown.paramValues.size() != menu.itemTexts.size())
            return false;
        for (qsizetype i = 0; i < menu.itemTexts.size(); ++i) {
            const bool stored = menu.storedItems.contains(menu.itemTexts.at(i));
            if (shown.paramValues.at(i).isEmpty() == stored)
                return false;
        }
        return true;
    }
    return false;
}

void BenchSession::keystroke()
{
    m_spaceTyped = !m_spaceTyped;
    m_document->setContents(m_spaceTyped ? m_typed : m_text.text);
}

void BenchSession::prune()
{
    Core::EditorManager::closeDocument(m_document.get());
}

void BenchSession::storeRemovedItems()
{
    storeValues(*m_items->settings(), m_path, m_text, false, m_removedItems);
}

bool BenchSession::storeMatchesText() const
{
    QSettings *settings = m_items->settings();
    settings->beginGroup(QString(m_path).replace(QLatin1Char('/'), QLatin1Char('\\')));
    bool matches = settings->childGroups().size() == m_text.menus.size();
    for (const BenchMenu &menu : m_text.menus) {
        settings->beginGroup(menu.name);
        matches = matches && settings->childGroups().size() == menu.storedItems.size();
        settings->endGroup();
    }
    settings->endGroup();
    return matches;
}

FigureTable::Body keystrokesIn(const std::shared_ptr<BenchDocument> &document, const QString &path)
{
    return [document, path](benchmark::State &state) {
        BenchSession session(*document, 0, path);
        if (!session.showsStoredValues()) {
            state.SkipWithError("the menu under the cursor is not shown with its values");
            return;
        }
        for (auto _ : state)
            session.keystroke();
    };
}
