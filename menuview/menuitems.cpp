// MenuItems: the slots that hand the followed document to its reading and
// the menu at the cursor to the screen.
#include "menuview/menuitems.h"

#include "coreplugin/editormanager/documentmodel.h"
#include "coreplugin/editormanager/editormanager.h"
#include "creader/linemap.h"
#include "menuview/analysis/menupreview.h"
#include "menuview/params/parameterstore.h"
#include "menuview/screen/menurenderer.h"
#include "utils/filepath.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>

using namespace VelkoMenuView;

MenuItems::MenuItems(QWidget *parent)
    : QFrame(parent)
    , m_settings(ParameterStore::openUserStore())
    , m_follower(m_settings, &m_status)
    , m_screen(this, m_settings, &m_follower, &m_status)
{
    // After the event that wrote: a write may come from this view's own dialog.
    connect(
            m_screen.values(), &DocumentValues::changed, this,
            [this](const QString &path) {
                if (m_follower.document() && (path.isEmpty() || path == m_follower.path()))
                    analyze();
            },
            Qt::QueuedConnection);
    for (Core::IDocument *open : Core::DocumentModel::openedDocuments())
        m_screen.values()->follow(open);
    Core::EditorManager *editorManager = Core::EditorManager::instance();
    connect(editorManager, &Core::EditorManager::documentOpened, this, &MenuItems::documentOpened);
    connect(editorManager, &Core::EditorManager::documentClosed, this, &MenuItems::documentClosed);

    connect(&m_follower, &EditorFollower::looking, this, [this] { m_screen.updateChangedRows(); });
    connect(&m_follower, &EditorFollower::edited, this, [this] {
        // The same characters as the text codec named "UTF-8" gives (a leading
        // byte order mark dropped, each malformed sequence replaced), as the
        // pruning reads a file, at about half its cost: the decode is the
        // largest part of a keystroke's work.
        documentText = QString::fromUtf8(m_follower.document()->contents());
        analyze();
    });
    connect(&m_follower, &EditorFollower::moved, this, &MenuItems::analyze);
}

MenuItems::~MenuItems()
{
    // A write that failed is tried once more: the store may be writable now.
    m_settings->sync();
    delete m_settings;
}

void MenuItems::analyze()
{
    const ReadOptions &context = m_follower.context();
    SourceReading &source = m_reading.read(documentText, context, m_follower.generation());
    // One copy of the text: the reading keeps the one its facts point into.
    documentText = m_reading.text();
    frameMenu(m_menuBegin);
    // Lines counted from marks kept from keystroke to keystroke: no pass
    // over the text before the menu.
    const LineMap &lines = m_reading.lines();
    const qsizetype offset = lines.cursorOffset(m_follower.line(), m_follower.column());
    const auto positionOf = [&](qsizetype at) { return lines.position(at); };
    const MenuPreview preview = previewMenu(
            source, offset,
            [this](const QString &name, const QStringList &texts, const QStringList &tags) {
                return m_screen.storedValues(name, texts, tags);
            },
            positionOf, m_status.messageTexts(), m_screen.isShown() ? &m_screen.menu() : nullptr);
    bool located = true;
    switch (preview.outcome) {
    case MenuPreview::Outcome::Unsettled:
        return;
    case MenuPreview::Outcome::NoMenu:
    case MenuPreview::Outcome::StrayClosing:
        located = false;
        m_screen.hide();
        break;
    case MenuPreview::Outcome::Inside: // located only: never a preview's
    case MenuPreview::Outcome::Shown:
    case MenuPreview::Outcome::CannotRead:
        frameMenu(preview.begin);
        m_screen.take(preview.block.menu, preview.block.parse.itemTags(),
                      preview.outcome == MenuPreview::Outcome::Shown);
        break;
    }
    const MenuDefinition &menu = m_screen.menu();
    const bool menuValid = m_screen.isShown();
    if (preview.outcome == MenuPreview::Outcome::NoMenu) {
        m_status.setNoMenu();
    } else if (menuValid) {
        const int groupLine = preview.location.inactiveGroup < 0
                ? 0
                : positionOf(preview.location.inactiveGroup).line;
        m_status.setShown(menu.name, positionOf(preview.begin), positionOf(preview.last), groupLine,
                          int(menu.itemLines.size()));
    } else {
        m_status.setCannotRead(positionOf(preview.failureAt), preview.failure);
    }
    // Under the menu: the first text that cannot be read, and why the
    // compiler's macros are not its own.
    const ScreenStatus::NoteTexts &notes = m_status.noteTexts();
    QStringList note;
    if (menuValid) {
        const QList<TextFinding> texts
                = unreadableTexts(preview.block, source.facts, notes.text,
                                  [&](qsizetype at) { return positionOf(at).line; });
        if (!texts.isEmpty())
            note << notes.where.arg(positionOf(texts.first().begin).line)
                            .arg(texts.first().message);
    }
    const QString compiler = m_status.compilerNote(context.configuration);
    if (!compiler.isEmpty())
        note << compiler;
    m_status.setNote(note.join(QLatin1Char('\n')));
    m_screen.updateChangedRows();
    // Only a menu found, readable or not, resizes the screen.
    if (located)
        emit analyzed();
}

void MenuItems::frameMenu(qsizetype begin)
{
    // Views, not copies: a copy of a large document on every keystroke
    // would cost as much as its decode.
    MenuDefinition &menu = m_screen.menu();
    m_menuBegin = qBound(qsizetype(0), begin, documentText.size());
    menu.preamble = QString::fromRawData(documentText.constData(), m_menuBegin);
    menu.source = QString::fromRawData(documentText.constData() + m_menuBegin,
                                       documentText.size() - m_menuBegin);
}

void MenuItems::deleteUnusedSettings(Core::IDocument *closed)
{
    if (closed) {
        const QString path = closed->filePath().toString();
        m_screen.prune(path, m_follower.contextFor(path));
    }
}

void MenuItems::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    if (m_screen.press(event->position()))
        emit analyzed();
}

void MenuItems::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    m_screen.paint(event);
}

void MenuItems::drawString(QPainter *g, int row)
{
    // Page 0 of the frame buffer into screen row `row`, magnified.
    g->drawPixmap(
            m_screen.rowRect(row),
            QBitmap::fromImage(pageImage(ScreenColors()), Qt::MonoOnly | Qt::ThresholdDither));
}
