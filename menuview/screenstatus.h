// What the screen shows, or why it shows nothing: the view states it, the
// pane's status line reads it.
#pragma once

#include "creader/buildconfiguration.h"
#include "creader/linemap.h"
#include "menuview/analysis/parsemessages.h"
#include "menuview/analysis/textmessages.h"
#include "menuview/files/buildvariant.h"

#include <QObject>
#include <QString>

namespace VelkoMenuView {

class ScreenStatus : public QObject
{
    Q_OBJECT

public:
    enum class State {
        NoDocument, // no document followed yet
        NoMenu, // the cursor stands in no menu definition
        Shown, // the menu named `menuName()`, lines `firstLine()` to `lastLine()`
        CannotRead, // the definition around the cursor does not parse: `reason()` at line, column
        DocumentClosed, // `closedDocument()` was closed; the screen keeps its menu when
                        // `keepsMenu()`
    };

    State state() const { return m_state; }
    QString menuName() const { return m_menuName; }
    int firstLine() const { return m_first.line; }
    int lastLine() const { return m_last.line; }
    int column() const { return m_first.column; }
    QString reason() const { return m_reason; }
    QString closedDocument() const { return m_closedDocument; }
    bool keepsMenu() const { return m_keepsMenu; }

    // The words the reasons are given in: the reader's language.
    const ParseMessageTexts &messageTexts() const { return m_texts; }
    void setMessageTexts(const ParseMessageTexts &texts) { m_texts = texts; }

    void setNoMenu();
    // `inactiveGroupLine`: the line of the directive that opens a conditional
    // group the build leaves out, for a menu shown from one; 0 otherwise.
    // `items`: how many the menu has, for the note of those below the screen.
    void setShown(const QString &menuName, TextPosition first, TextPosition last,
                  int inactiveGroupLine = 0, int items = 0);
    int inactiveGroupLine() const { return m_inactiveGroupLine; }
    int itemCount() const { return m_itemCount; }
    void setCannotRead(TextPosition at, const QString &reason);
    // The followed document went away: what was shown stays, named as before.
    void setDocumentClosed(const QString &documentName);

    // The words of the notes under a menu: why a text is not read, why the
    // compiler's macros are not its own.
    struct NoteTexts
    {
        TextMessageTexts text;
        QString where; // %1 the line of the item or title, %2 the reason
        QString compilerNotFound; // %1 the compiler
        QString compilerNotAllowed; // %1 its path, %2 the allowed globs
        QString compilerFailed; // %1 its path, %2 what went wrong
    };
    const NoteTexts &noteTexts() const { return m_noteTexts; }
    void setNoteTexts(const NoteTexts &texts) { m_noteTexts = texts; }
    // The compiler's note in these words; empty when there is none.
    QString compilerNote(const BuildConfiguration &configuration) const;

    // A note under what is shown: a text that cannot be read, the compiler's
    // macros not asked of it.
    QString note() const { return m_note; }
    void setNote(const QString &note);

    // Where the build's options the document is read with came from.
    const BuildVariant &variant() const { return m_variant; }
    void setVariant(const BuildVariant &variant);

    // The settings file that the last write of values could not reach;
    // empty once a write succeeds again.
    QString storeFailure() const { return m_storeFailure; }
    void setStoreFailure(const QString &storePath);

signals:
    // Only when something differs, so that typing inside a menu does not flicker.
    void changed();

private:
    void set(State state, const QString &menuName, TextPosition first, TextPosition last,
             const QString &reason, int inactiveGroupLine = 0, int items = 0);

    State m_state = State::NoDocument;
    QString m_menuName;
    TextPosition m_first;
    TextPosition m_last;
    QString m_reason;
    QString m_closedDocument;
    int m_inactiveGroupLine = 0;
    int m_itemCount = 0;
    bool m_keepsMenu = false;
    QString m_storeFailure;
    QString m_note;
    BuildVariant m_variant;
    ParseMessageTexts m_texts = ParseMessageTexts::english();
    NoteTexts m_noteTexts {TextMessageTexts::english(), QStringLiteral("line %1: %2"), {}, {}, {}};
};

} // namespace VelkoMenuView
