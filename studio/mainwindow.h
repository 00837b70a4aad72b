// The studio's main window: C files in editor tabs, the navigation side bar,
// and the editor manager kept informed of documents and the current editor.
#pragma once

#include <QMainWindow>

class QLabel;
class QTabWidget;

namespace VelkoMenuView {

class NavigationPane;
class StudioEditor;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Opens path (an existing tab if it is open already) with the cursor at
    // line and column; reports why not with a message box.
    StudioEditor *openFile(const QString &path, int line = 1, int column = 1);
    bool closeEditor(StudioEditor *editor);
    StudioEditor *currentEditor() const;
    NavigationPane *navigationPane() const { return m_navigation; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void openDialog();
    bool save(StudioEditor *editor);
    void currentTabChanged(int index);
    void updateStatus();
    void updateTitle(StudioEditor *editor);
    void updateWindowTitle();
    void report(const QString &message);

    QTabWidget *m_tabs;
    NavigationPane *m_navigation;
    QLabel *m_position;
    QList<StudioEditor *> m_editors;
};

} // namespace VelkoMenuView
