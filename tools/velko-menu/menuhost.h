// The pane's screen widget fed through the stand-in host, as if the file were
// open in an editor: the view finds, parses and formats the menu around the
// cursor itself and shows the values stored for this file's path.
#pragma once

#include "memorydocument.h"
#include "menuview/analysis/menuitems.h"
#include "simpleeditor.h"

class MenuHost
{
public:
    enum class Outcome {
        Shown, // a menu is on the screen
        DoesNotParse, // the cursor is in a definition that does not parse
        NoMenu, // the cursor is in no definition
    };

    MenuHost(const QString &absolutePath, const QByteArray &contents);
    ~MenuHost();

    // Moves the editor's cursor and lets the view take its timer tick.
    Outcome showAt(int line, int column);

    MenuItems &view() { return m_view; }

private:
    VelkoHost::MemoryDocument m_document;
    VelkoHost::SimpleEditor m_editor;
    MenuItems m_view;
    bool m_analyzed = false;
    int m_line = 0;
    int m_column = 0;
    Outcome m_outcome = Outcome::NoMenu;
};
