// The studio's main window.
#include "mainwindow.h"

#include "codeeditor.h"
#include "navigationpane.h"
#include "studiodocument.h"
#include "studioeditor.h"

#include "coreplugin/editormanager/editormanager.h"
#include "utils/filepath.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabWidget>

namespace VelkoMenuView {

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_tabs(new QTabWidget)
    , m_navigation(new NavigationPane)
    , m_position(new QLabel)
{
    setWindowTitle(tr("Velko Menu Studio"));
    resize(1100, 700);
    m_tabs->setTabsClosable(true);
    m_tabs->setDocumentMode(true);
    setCentralWidget(m_tabs);

    auto dock = new QDockWidget(tr("Navigation"), this);
    dock->setObjectName(QStringLiteral("navigationDock"));
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    dock->setWidget(m_navigation);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    resizeDocks({dock}, {420}, Qt::Horizontal);

    statusBar()->addPermanentWidget(m_position);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::openDialog);
    file->addAction(tr("&Save"), QKeySequence::Save, this, [this] {
        if (StudioEditor *editor = currentEditor())
            save(editor);
    });
    file->addAction(tr("&Close"), QKeySequence::Close, this, [this] {
        if (StudioEditor *editor = currentEditor())
            closeEditor(editor);
    });
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::currentTabChanged);
    connect(m_tabs, &QTabWidget::tabCloseRequested, this,
            [this](int index) { closeEditor(m_editors.value(index)); });
}

MainWindow::~MainWindow()
{
    // Without prompts: closeEvent has asked already where it mattered.
    Core::EditorManager::activateEditor(nullptr);
    while (!m_editors.isEmpty()) {
        StudioEditor *editor = m_editors.takeLast();
        Core::EditorManager::closeDocument(editor->document());
        delete editor;
    }
    delete m_navigation; // panes go before the plug-ins that made them
    m_navigation = nullptr;
}

void MainWindow::report(const QString &message)
{
    QMessageBox::warning(this, tr("Velko Menu Studio"), message);
}

StudioEditor *MainWindow::openFile(const QString &path, int line, int column)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (StudioEditor *editor : std::as_const(m_editors)) {
        if (editor->document()->filePath().toString() == absolute) {
            m_tabs->setCurrentWidget(editor->editorWidget());
            editor->gotoLine(line, column, true);
            return editor;
        }
    }
    QString text, error;
    TextFileFormat format;
    if (!StudioDocument::readFile(absolute, &text, &error, &format)) {
        report(error);
        return nullptr;
    }
    auto editor = new StudioEditor(absolute, text, format);
    editor->gotoLine(line, column, true);
    m_editors << editor;
    connect(editor->editorWidget(), &QPlainTextEdit::cursorPositionChanged, this,
            &MainWindow::updateStatus);
    connect(editor->studioDocument(), &Core::IDocument::changed, this,
            [this, editor] { updateTitle(editor); });
    Core::EditorManager::openDocument(editor->document());
    m_tabs->addTab(editor->editorWidget(), QFileInfo(absolute).fileName());
    m_tabs->setTabToolTip(m_tabs->count() - 1, absolute);
    m_tabs->setCurrentWidget(editor->editorWidget());
    editor->editorWidget()->setFocus();
    return editor;
}

void MainWindow::openDialog()
{
    const QStringList paths = QFileDialog::getOpenFileNames(
            this, tr("Open C Files"), QString(), tr("C sources (*.c *.h);;All files (*)"));
    for (const QString &path : paths)
        openFile(path);
}

bool MainWindow::save(StudioEditor *editor)
{
    QString error;
    if (!editor->document()->save(&error, Utils::FilePath(), false)) {
        report(error);
        return false;
    }
    return true;
}

bool MainWindow::closeEditor(StudioEditor *editor)
{
    if (!editor)
        return false;
    if (editor->document()->isModified()) {
        const QMessageBox::StandardButton answer = QMessageBox::question(
                this, tr("Unsaved Changes"),
                tr("%1 has unsaved changes. Save them?")
                        .arg(QFileInfo(editor->document()->filePath().toString()).fileName()),
                QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Save && !save(editor)))
            return false;
        if (answer == QMessageBox::Discard) {
            // The closing document is pruned against its text: let that be
            // the file as saved, not the discarded edits. The pane is not
            // told of a change: it keeps showing what it showed.
            QString text, error;
            if (StudioDocument::readFile(editor->document()->filePath().toString(), &text, &error))
                editor->studioDocument()->discardEdits(text.toUtf8());
        }
    }
    const int index = m_editors.indexOf(editor);
    m_editors.removeAt(index);
    if (Core::EditorManager::currentEditor() == editor)
        Core::EditorManager::activateEditor(nullptr);
    m_tabs->removeTab(index);
    Core::EditorManager::closeDocument(editor->document());
    delete editor;
    currentTabChanged(m_tabs->currentIndex());
    return true;
}

StudioEditor *MainWindow::currentEditor() const
{
    return m_editors.value(m_tabs->currentIndex());
}

void MainWindow::currentTabChanged(int index)
{
    Core::EditorManager::activateEditor(m_editors.value(index));
    updateStatus();
    updateWindowTitle();
}

void MainWindow::updateWindowTitle()
{
    // "[*]" shows as "*" while the window is marked modified.
    StudioEditor *editor = currentEditor();
    if (!editor) {
        setWindowTitle(tr("Velko Menu Studio"));
        setWindowModified(false);
        return;
    }
    const QString name = QFileInfo(editor->document()->filePath().toString()).fileName();
    setWindowTitle(tr("%1[*] — Velko Menu Studio").arg(name));
    setWindowModified(editor->document()->isModified());
}

void MainWindow::updateStatus()
{
    StudioEditor *editor = currentEditor();
    m_position->setText(editor ? tr("Line %1, Column %2")
                                         .arg(editor->currentLine())
                                         .arg(editor->currentColumn())
                               : QString());
}

void MainWindow::updateTitle(StudioEditor *editor)
{
    const int index = m_editors.indexOf(editor);
    if (index < 0)
        return;
    const QString name = QFileInfo(editor->document()->filePath().toString()).fileName();
    m_tabs->setTabText(index, editor->document()->isModified() ? name + QLatin1Char('*') : name);
    if (editor == currentEditor())
        updateWindowTitle();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    while (!m_editors.isEmpty()) {
        if (!closeEditor(m_editors.last())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace VelkoMenuView
