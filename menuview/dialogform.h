// What the plug-in's two dialog forms share: a spacer that keeps the rows at
// the top, and an OK/Cancel box at the bottom wired to accept and reject.
#pragma once

class QDialog;
class QDialogButtonBox;
class QSpacerItem;
class QVBoxLayout;

namespace DialogForm {

// Ends the rows' layout with an expanding spacer and puts it into the form.
QSpacerItem *closeRows(QVBoxLayout *rows, QVBoxLayout *form);

// A horizontal OK/Cancel box named "buttonBox", added to the form.
QDialogButtonBox *addButtons(QDialog *dialog, QVBoxLayout *form);

// OK accepts the dialog, Cancel rejects it.
void connectButtons(QDialogButtonBox *buttons, QDialog *dialog);

} // namespace DialogForm
