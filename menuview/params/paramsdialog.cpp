// The parameter entry dialog: a plain form, no behaviour of its own.
#include "menuview/params/paramsdialog.h"

#include "menuview/params/ui_paramsdialog.h"

ParamsDialog::ParamsDialog(QWidget *parent) : QDialog(parent), m_ui(new Ui::ParamsDialog)
{
    m_ui->setupUi(this);
}

ParamsDialog::~ParamsDialog()
{
    delete m_ui;
}
