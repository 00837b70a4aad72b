// MenuItems: following the host's editor, and the slots that hand the menu
// to the units that locate, parse, store, edit and render it.
#include "menuview/menuitems.h"

#include "coreplugin/editormanager/documentmodel.h"
#include "coreplugin/editormanager/editormanager.h"
#include "coreplugin/editormanager/ieditor.h"
#include "creader/compilerquery.h"
#include "creader/linemap.h"
#include "menuview/analysis/devicescreen.h"
#include "menuview/analysis/itemformat.h"
#include "menuview/analysis/menupreview.h"
#include "menuview/params/parameterentry.h"
#include "menuview/params/parameterstore.h"
#include "menuview/params/settingskeys.h"
#include "menuview/screen/menurenderer.h"
#include "utils/filepath.h"

#include <QBitmap>
#include <QDateTime>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSettings>

#include <climits>

using namespace VelkoMenuView;

MenuItems::MenuItems(QWidget *parent)
    : QFrame(parent)
{
    m_settings = ParameterStore::openUserStore();
    m_values = new DocumentValues(m_settings, this);
    // After the event that wrote: a write may come from this view's own dialog.
    connect(m_values, &DocumentValues::changed, this, &MenuItems::storeChanged,
            Qt::QueuedConnection);

    editorManager = Core::EditorManager::instance();
    for (Core::IDocument *open : Core::DocumentModel::openedDocuments())
        m_values->follow(open);

    connect(&timer, &QTimer::timeout, this, &MenuItems::onTimeout);
    timer.setInterval(m_period * 1000);
    timer.start();

    connect(editorManager, &Core::EditorManager::documentOpened, this, &MenuItems::documentOpened);
    connect(editorManager, &Core::EditorManager::documentClosed, this, &MenuItems::documentClosed);

    followTimer.setSingleShot(true);
    followTimer.setInterval(FollowDelay);
    connect(&followTimer, &QTimer::timeout, this, &MenuItems::followBurstEnd);
    connect(editorManager, &Core::EditorManager::currentEditorChanged, this,
            &MenuItems::scheduleFollow);
    // A pane opened on a text editor shows its menu at once, not a period later.
    if (textWidgetOf(Core::EditorManager::currentEditor()))
        scheduleFollow();
    // A build configuration switched, a header saved elsewhere: shown with the cursor still.
    connect(&m_contextRefresh, &ContextRefresh::changed, this, [this] {
        if (document)
            analyze();
    });

    offPixelBrush = QBrush(ScreenColors().unlit, Qt::SolidPattern);
    onPixelBrush = QBrush(ScreenColors().lit, Qt::SolidPattern);
    rowBitmap = new QBitmap(DeviceScreen::Width, DeviceScreen::RowHeight);
}

MenuItems::~MenuItems()
{
    timer.stop();
    delete rowBitmap;
    // A write that failed is tried once more: the store may be writable now.
    m_settings->sync();
    delete m_settings;
}

int MenuItems::rowCount() const
{
    return menuValid ? int(menu.itemLines.size()) + 1 : 0;
}

void MenuItems::setMultiplier(int multiplier)
{
    m_multiplier = multiplier;
    update();
}

void MenuItems::setPeriod(int seconds)
{
    // A period of 0 or less would poll without pause: the previous one stays.
    if (seconds <= 0)
        return;
    m_period = seconds;
    timer.setInterval(int(qMin(qint64(seconds) * 1000, qint64(INT_MAX))));
}

void MenuItems::setFixedTime(const QTime &time)
{
    m_fixedTime = time;
    updateChangedRows();
}

QString MenuItems::decodeDocument(const QByteArray &bytes)
{
    // The same characters as the text codec named "UTF-8" gives (a leading
    // byte order mark dropped, each malformed sequence replaced), at about
    // half its cost: the decode is the largest part of a keystroke's work.
    return QString::fromUtf8(bytes);
}

QPlainTextEdit *MenuItems::textWidgetOf(Core::IEditor *editor)
{
    return editor ? qobject_cast<QPlainTextEdit *>(editor->widget()) : nullptr;
}

void MenuItems::watch(Core::IEditor *editor)
{
    QPlainTextEdit *widget = textWidgetOf(editor);
    if (widget == textWidget)
        return;
    if (textWidget)
        disconnect(textWidget, &QPlainTextEdit::cursorPositionChanged, this,
                   &MenuItems::scheduleFollow);
    textWidget = widget;
    if (textWidget)
        connect(textWidget, &QPlainTextEdit::cursorPositionChanged, this,
                &MenuItems::scheduleFollow);
}

void MenuItems::scheduleFollow()
{
    // The first move after a quiet spell is looked at as soon as the event
    // that moved it is done (an edit has been read by then); the moves of a
    // burst that follows are looked at once, when the burst window ends.
    if (followTimer.isActive()) {
        followPending = true;
        return;
    }
    followTimer.start();
    QMetaObject::invokeMethod(this, &MenuItems::follow, Qt::QueuedConnection);
}

void MenuItems::followBurstEnd()
{
    if (!followPending)
        return;
    followPending = false;
    followTimer.start();
    follow();
}

void MenuItems::follow()
{
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    watch(editor);
    // Editors without a watchable widget keep to the timer's pace.
    if (textWidget)
        onTimeout();
}

void MenuItems::onTimeout()
{
    updateChangedRows(); // the clock
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    watch(editor);
    if (!editor)
        return;
    Core::IDocument *editorDocument = editor->document();
    const int line = editor->currentLine();
    const int column = editor->currentColumn();
    if (line == cursorLine && column == cursorColumn && editorDocument == document)
        return;
    cursorLine = line;
    cursorColumn = column;
    if (editorDocument != document) {
        if (document)
            disconnect(document, &Core::IDocument::contentsChanged, this,
                       &MenuItems::contentsChanged);
        document = editorDocument;
        if (document)
            connect(document, &Core::IDocument::contentsChanged, this, &MenuItems::contentsChanged);
        contentsChanged();
    } else {
        analyze();
    }
}

void MenuItems::contentsChanged()
{
    // An editor without a document leaves nothing to read.
    if (!document)
        return;
    documentText = decodeDocument(document->contents());
    // A watched editor tells where its cursor stands after the edit: lines
    // added above it move the menu under it.
    Core::IEditor *editor = Core::EditorManager::currentEditor();
    if (editor && textWidget && textWidgetOf(editor) == textWidget
        && editor->document() == document) {
        cursorLine = editor->currentLine();
        cursorColumn = editor->currentColumn();
    }
    analyze();
}

void MenuItems::documentOpened(Core::IDocument *opened)
{
    m_values->follow(opened);
}

void MenuItems::documentClosed(Core::IDocument *closed)
{
    if (closed && closed == document) {
        disconnect(document, &Core::IDocument::contentsChanged, this, &MenuItems::contentsChanged);
        document = nullptr;
        m_status.setDocumentClosed(QFileInfo(closed->filePath().toString()).fileName());
    }
    deleteUnusedSettings(closed);
}

QStringList MenuItems::listSetting(const QString &key) const
{
    // The store's text format reads "a, b" as a list and "a" as a string.
    QStringList list;
    for (const QString &entry : m_settings->value(key).toStringList()) {
        for (const QString &part : entry.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!part.trimmed().isEmpty())
                list << part.trimmed();
        }
    }
    return list;
}

const SourceContext &MenuItems::sourceContext()
{
    // The build's options are looked for when the document changes, now and
    // again, and when what they came from changes; not on every keystroke.
    if (m_contextRefresh.renew(document ? document->filePath().toString() : QString())) {
        m_context = m_contextRefresh.context();
        applyReadingSettings(&m_context);
        ++m_contextGeneration;
        m_status.setVariant(m_contextRefresh.variant());
    }
    return m_context;
}

void MenuItems::applyReadingSettings(VelkoMenuView::SourceContext *context) const
{
    CompilerQuery::apply(&context->configuration, listSetting(SettingsKeys::queryDriver()));
    context->textFunctions = listSetting(SettingsKeys::textFunctions());
}

void MenuItems::storeChanged(const QString &path)
{
    if (document && (path.isEmpty() || path == document->filePath().toString()))
        analyze();
}

void MenuItems::analyze()
{
    const SourceContext &context = sourceContext();
    SourceText &source = m_reading.read(documentText, context, m_contextGeneration);
    // One copy of the text: the reading keeps the one its facts point into.
    documentText = m_reading.text();
    frameMenu(m_menuBegin);
    qsizetype lineStart = -1;
    const qsizetype offset = m_reading.cursorOffset(cursorLine, cursorColumn, &lineStart);
    // Lines counted from the cursor's: no pass over the text before the menu.
    const auto positionOf = [&](qsizetype at) {
        return LineMap::positionNear(documentText, at, lineStart, cursorLine);
    };
    const MenuPreview preview = previewMenu(
            source, offset,
            [this](const QString &name, const QStringList &texts, const QStringList &tags) {
                return storedValues(name, texts, tags);
            },
            positionOf, m_status.messageTexts(), menuValid ? &menu : nullptr);
    switch (preview.outcome) {
    case MenuPreview::Outcome::Unsettled:
        return;
    case MenuPreview::Outcome::NoMenu:
    case MenuPreview::Outcome::StrayClosing:
        menuValid = false;
        if (preview.outcome == MenuPreview::Outcome::StrayClosing)
            m_status.setCannotRead(positionOf(preview.failureAt), preview.failure);
        else
            m_status.setNoMenu();
        m_status.setNote(m_status.compilerNote(context.configuration));
        updateChangedRows();
        return;
    case MenuPreview::Outcome::Inside: // located only: never a preview's
    case MenuPreview::Outcome::Shown:
    case MenuPreview::Outcome::CannotRead:
        break;
    }
    const MenuDefinition &read = preview.block.menu;
    frameMenu(preview.begin);
    menu.name = read.name;
    menu.title = read.title;
    menu.itemTexts = read.itemTexts;
    m_itemTags = preview.block.parse.itemTags();
    menuValid = preview.outcome == MenuPreview::Outcome::Shown;
    if (menuValid) {
        menu.paramValues = read.paramValues;
        menu.itemLines = read.itemLines;
        menu.itemParams = read.itemParams;
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
    updateChangedRows();
    emit analyzed();
}

void MenuItems::frameMenu(qsizetype begin)
{
    // Views, not copies: a copy of a large document on every keystroke
    // would cost as much as its decode.
    m_menuBegin = qBound(qsizetype(0), begin, documentText.size());
    menu.preamble = QString::fromRawData(documentText.constData(), m_menuBegin);
    menu.source = QString::fromRawData(documentText.constData() + m_menuBegin,
                                       documentText.size() - m_menuBegin);
}

QList<QStringList> MenuItems::storedValues(const QString &menuName, const QStringList &itemTexts,
                                           const QStringList &itemTags)
{
    if (!document)
        return menu.paramValues;
    return m_values->values(document->filePath().toString(), menuName, itemTexts, itemTags);
}

void MenuItems::loadSettingsParams()
{
    menu.paramValues = storedValues(menu.name, menu.itemTexts, m_itemTags);
}

void MenuItems::saveSettingsParam(int itemIndex, int paramNo, const QString &value)
{
    if (!document)
        return;
    const bool written = m_values->save(document->filePath().toString(), menu.name, menu.itemTexts,
                                        m_itemTags, itemIndex, paramNo, value);
    m_status.setStoreFailure(written ? QString() : m_settings->fileName());
}

void MenuItems::deleteUnusedSettings(Core::IDocument *closed)
{
    if (!closed)
        return;
    const QString path = closed->filePath().toString();
    SourceContext context = ContextRefresh::contextFor(path);
    applyReadingSettings(&context);
    m_values->prune(path, context);
    // Written once the host is idle again, as the store would anyway: closing stays quick.
    QTimer::singleShot(0, this, [this] {
        m_status.setStoreFailure(ParameterStore(m_settings).flush() ? QString()
                                                                    : m_settings->fileName());
    });
}

void MenuItems::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);

    const qsizetype items = menu.itemTexts.size();
    if (!menuValid || menu.itemLines.size() != items || menu.itemParams.size() != items)
        return;
    const qint64 rowHeight = qint64(DeviceScreen::RowHeight) * m_multiplier;
    if (rowHeight <= 0)
        return;
    const qsizetype index = qsizetype(event->position().toPoint().y() / rowHeight) - 1;
    if (index < 0 || index >= items)
        return;
    const ParamInfo info = menu.itemParams.at(index);
    if (info.type != ParamType::Integer && info.type != ParamType::Real
        && info.type != ParamType::String)
        return;
    if (info.count <= 0)
        return;

    const QString itemText = menu.itemTexts.at(index);
    const QString menuName = menu.name;
    const QPointer<Core::IDocument> editedDocument = document;
    const bool hadDocument = document;
    const QPointer<MenuItems> self(this);
    // What the store holds now: another view may have written since this
    // one loaded.
    const QStringList stored = document
            ? m_values->current(document->filePath().toString(), menuName, menu.itemTexts,
                                m_itemTags, index)
            : menu.paramValues.value(index);
    const std::optional<QStringList> entered = askParameterValues(this, info, stored);
    if (!self || !entered)
        return;

    // A re-analysis during the dialog may have rebuilt the menu, or shown
    // another document's or another menu's: take the values only for the
    // same item of the same menu of the same document, never by a stale index
    // and never into another document's group. A menu left on the screen by
    // a document closed before the click is still edited, in memory only.
    const bool sameDocument = hadDocument ? document && document == editedDocument : !document;
    if (!menuValid || !sameDocument || menu.name != menuName || index >= menu.itemTexts.size()
        || menu.itemTexts.at(index) != itemText)
        return;
    while (menu.paramValues.size() <= index)
        menu.paramValues.append(QStringList());
    QStringList &values = menu.paramValues[index];
    for (int n = 0; n < entered->size(); ++n) {
        if (values.size() <= n)
            values.append(entered->at(n));
        else
            values[n] = entered->at(n);
    }
    // Only what the user changed: a field left as it was must not take back
    // what another view wrote meanwhile.
    for (int n = 0; n < entered->size(); ++n) {
        if (n >= stored.size() || entered->at(n) != stored.at(n))
            saveSettingsParam(int(index), n + 1, entered->at(n));
    }
    formatItems(menu);
    updateChangedRows();
    emit analyzed();
}

QImage MenuItems::screenImage() const
{
    if (!menuValid)
        return QImage();
    return renderMenu(menu, shownTime(), m_multiplier);
}

void MenuItems::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    if (!menuValid)
        return;
    // Lit pixels take the painter's pen, as the device's one-bit rows drawn
    // through a bitmap would; unlit ones let the background show.
    const QImage screen = renderMenu(menu, shownTime(), 1, {p.pen().color(), Qt::transparent});
    const qint64 width = qint64(screen.width()) * m_multiplier;
    const qint64 height = qint64(screen.height()) * m_multiplier;
    if (width <= 0 || width > INT_MAX || height > INT_MAX)
        return;
    // Only the rows asked for: a keystroke repaints the lines it changed.
    const QRect dirty = event->rect();
    const int rowHeight = rowRect(0).height();
    const int first = qMax(0, dirty.top() / rowHeight);
    const int last = qMin(rowCount() - 1, dirty.bottom() / rowHeight);
    if (first > last)
        return;
    const int rows = last - first + 1;
    // The device shows 64 pixel rows: a dashed line of the theme's highlight,
    // which the device never draws, marks where its screen ends. Drawn first,
    // it shows only through unlit pixels.
    const int edgeRow = DeviceScreen::Height / DeviceScreen::RowHeight;
    if (first <= edgeRow && edgeRow <= last) {
        QPen edge(palette().color(QPalette::Highlight), 1);
        edge.setDashPattern({3.0 * m_multiplier, 2.0 * m_multiplier});
        p.setPen(edge);
        const int y = edgeRow * rowHeight;
        p.drawLine(0, y, int(width) - 1, y);
    }
    p.drawImage(QRect(0, first * rowHeight, int(width), rows * rowHeight), screen,
                QRect(0, first * DeviceScreen::RowHeight, screen.width(),
                      rows * DeviceScreen::RowHeight));
}

QTime MenuItems::shownTime() const
{
    if (m_fixedTime.isValid())
        return m_fixedTime;
    // The local time costs a look at the time zone file: once a second is
    // enough for a clock that shows minutes.
    if (!m_clockAge.isValid() || m_clockAge.hasExpired(1000)) {
        m_clock = QDateTime::currentDateTime().time();
        m_clockAge.start();
    }
    return m_clock;
}

QRect MenuItems::rowRect(int row) const
{
    const int m = m_multiplier;
    return QRect(0, DeviceScreen::RowHeight * m * row, DeviceScreen::Width * m,
                 DeviceScreen::RowHeight * m);
}

void MenuItems::updateChangedRows()
{
    const QStringList rows = ShownRows::rowsOf(menuValid ? &menu : nullptr, shownTime());
    for (const int row : m_shownRows.show(rows))
        update(rowRect(row));
}

void MenuItems::drawString(QPainter *g, int row)
{
    // Page 0 of the frame buffer into screen row `row`, magnified.
    *rowBitmap = QBitmap::fromImage(pageImage({onPixelBrush.color(), offPixelBrush.color()}),
                                    Qt::MonoOnly | Qt::ThresholdDither);
    const int m = m_multiplier;
    g->drawPixmap(QRect(0, DeviceScreen::RowHeight * m * row, DeviceScreen::Width * m,
                        DeviceScreen::RowHeight * m),
                  *rowBitmap, rowBitmap->rect());
}
