// The entry dialog prepared for one item, run, and read back.
#include "menuview/params/parameterentry.h"

#include "menuview/analysis/devicescreen.h"
#include "menuview/params/paramsdialog.h"
#include "menuview/params/ui_paramsdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpressionValidator>

namespace VelkoMenuView {

namespace {

// The label the parameter dialog puts before each value; empty for None.
QString paramTypeName(ParamType type)
{
    switch (type) {
    case ParamType::Integer:
        return QStringLiteral("Целое число");
    case ParamType::Real:
        return QStringLiteral("Вещественное число");
    case ParamType::String:
        return QStringLiteral("Строка");
    case ParamType::None:
        break;
    }
    return QString();
}

// What an edit of the kind accepts while it is typed: every prefix of a
// value the formatter reads, and the empty text. Strings take anything.
QValidator *validatorFor(ParamType type, QObject *parent)
{
    QString pattern;
    switch (type) {
    case ParamType::Integer:
        pattern = QStringLiteral("[+-]?[0-9]*");
        break;
    case ParamType::Real:
        pattern = QStringLiteral("[+-]?[0-9]*([.,][0-9]*)?([eE][+-]?[0-9]*)?");
        break;
    case ParamType::None:
    case ParamType::String:
        return nullptr;
    }
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

} // namespace

std::optional<QStringList> askParameterValues(QWidget *parent, ParamInfo info,
                                              const QStringList &stored)
{
    const QString prefix = paramTypeName(info.type);
    const int count = info.count;
    QPointer<ParamsDialog> dialog(new ParamsDialog(parent));
    Ui::ParamsDialog *ui = dialog->ui();
    QLabel *const labels[] = {ui->param1Label, ui->param2Label, ui->param3Label};
    QLineEdit *const edits[] = {ui->param1Edit, ui->param2Edit, ui->param3Edit};
    QValidator *validator = validatorFor(info.type, dialog);
    for (int n = 0; n < DeviceScreen::DialogParameters; ++n) {
        labels[n]->setText(prefix + labels[n]->text());
        labels[n]->setEnabled(count > n);
        edits[n]->setEnabled(count > n);
        // A stored text that the validator would refuse is still shown as
        // it is: setText does not validate, so nothing stored is lost.
        edits[n]->setValidator(validator);
        if (count > n && stored.size() > n)
            edits[n]->setText(stored.at(n));
    }

    const int result = dialog->exec();
    // The parent may have gone while the dialog ran; the dialog went with it.
    if (!dialog)
        return std::nullopt;
    QStringList entered;
    for (int n = 0; n < qMin(count, DeviceScreen::DialogParameters); ++n)
        entered << edits[n]->text();
    delete dialog;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return entered;
}

} // namespace VelkoMenuView
