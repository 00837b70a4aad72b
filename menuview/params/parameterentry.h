// Asking the user for an item's parameter values in the entry dialog.
#pragma once

#include "menuview/analysis/menudefinition.h"

#include <QStringList>

#include <optional>

class QWidget;

namespace VelkoMenuView {

// Runs the entry dialog for an item of kind `info`: every label carries the
// kind's name, the first info.count rows (at most three) are enabled and
// pre-filled from `stored`. Returns the texts of the enabled rows as typed,
// or nothing when the dialog is cancelled or goes away with its parent.
std::optional<QStringList> askParameterValues(QWidget *parent, ParamInfo info,
                                              const QStringList &stored);

} // namespace VelkoMenuView
