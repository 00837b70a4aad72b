// One MenuItems on one document through the stand-in host, as a user would
// have it: the document open in the current editor, the cursor in a menu,
// the store holding values for it, the first timer tick done.
#pragma once

#include "benchdocuments.h"
#include "figuretable.h"

#include "memorydocument.h"
#include "menuview/menuitems.h"
#include "simpleeditor.h"

#include <memory>

class BenchSession
{
public:
    // `removedItems` item groups per menu that the text no longer has are
    // stored as well, for pruning to find.
    // The document is at `path`, or at a path of no real folder when empty.
    explicit BenchSession(const BenchDocument &document, int removedItems = 0,
                          const QString &path = QString());
    ~BenchSession();

    // True when the view shows the menu under the cursor with its stored values.
    bool showsStoredValues() const;

    // The keystroke path: the host reports an edit, the view reads the text.
    // Keystrokes alternate between typing a space at the start of the
    // cursor's line and taking it away again.
    void keystroke();
    // Closing the document prunes its stored values.
    void prune();
    // Stores the removed item groups again, so that the next prune has work.
    void storeRemovedItems();
    // True when pruning left exactly the items the text still has.
    bool storeMatchesText() const;

    MenuItems *items() const { return m_items.get(); }

private:
    const BenchDocument &m_text;
    QString m_path;
    QByteArray m_typed; // the text with the space typed
    bool m_spaceTyped = false;
    int m_removedItems;
    std::unique_ptr<MenuItems> m_items;
    std::unique_ptr<VelkoMenuView::MemoryDocument> m_document;
    std::unique_ptr<VelkoMenuView::SimpleEditor> m_editor;
};

// The keystroke figure as a baseline: keystrokes in `document` at its cursor.
FigureTable::Body keystrokesIn(const std::shared_ptr<BenchDocument> &document,
                               const QString &path = QString());
