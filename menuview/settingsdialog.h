// SettingsDialog: the modal dialog in which the pane's refresh period is chosen.
#pragma once

#include <QDialog>

namespace Ui {
class SettingsDialog;
}

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    Ui::SettingsDialog *ui() const { return m_ui; }

private:
    Ui::SettingsDialog *m_ui;
};
