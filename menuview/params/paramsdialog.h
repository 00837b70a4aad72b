// ParamsDialog: the modal dialog in which up to three parameter values of a
// menu item are typed. The caller prepares and reads it through ui().
#pragma once

#include <QDialog>

namespace Ui {
class ParamsDialog;
}

class ParamsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ParamsDialog(QWidget *parent = nullptr);
    ~ParamsDialog() override;

    Ui::ParamsDialog *ui() const { return m_ui; }

private:
    Ui::ParamsDialog *m_ui;
};
