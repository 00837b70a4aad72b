// StatusLine: the line under the pane's screen. It names the menu shown and
// the lines it spans, or says why nothing is shown, and hands out the
// screen's picture (copy, save as PNG).
#pragma once

#include "menuview/screenstatus.h"

#include <QWidget>

class MenuItems;
class QLabel;
class QToolButton;

namespace VelkoMenuView {

struct ParseMessageTexts;

class StatusLine : public QWidget
{
    Q_OBJECT

public:
    // Reads `screen`'s status and pictures; the screen outlives the line.
    explicit StatusLine(MenuItems *screen, QWidget *parent = nullptr);
    // The pane's form makes the line before it can hand it the screen:
    // setScreen() must follow before the line is used.
    explicit StatusLine(QWidget *parent);
    void setScreen(MenuItems *screen);

    // The screen's picture on the clipboard; false when no menu is shown.
    bool copyImage();
    // Asks where to save the screen's picture as a PNG file, offering the
    // menu's name as the file's; a message box says when it cannot be written.
    void saveImageAs();

    // The reasons for an unreadable menu in the pane's words.
    static ParseMessageTexts messageTexts();
    // The notes under a menu in the pane's words.
    static ScreenStatus::NoteTexts noteTexts();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateText();
    void updateVariant();
    // The phrase, cut with an ellipsis where the pane is too narrow for it.
    void showVariant();

    MenuItems *m_screen = nullptr;
    QLabel *m_label;
    QLabel *m_variantLabel;
    QString m_variant;
    QToolButton *m_pictureButton;
};

} // namespace VelkoMenuView
