// "退出选项": asked when the main window closes. "备份退出" has the server back
// the account set up first, "直接退出" leaves at once, "取消退出" (or closing
// the dialog) keeps the program running. Created once and kept.
#pragma once

#include <QDialog>

class QPushButton;

namespace qv::client {

class TfrmExit : public QDialog {
    Q_OBJECT

public:
    enum Choice { Cancel, BackupAndExit, Exit };

    explicit TfrmExit(QWidget *parent = nullptr);

    Choice choice() const { return m_choice; }
    // Shows the dialog modally and answers the choice (Cancel when the dialog
    // was closed without one).
    Choice ask();

    QPushButton *backupButton() const { return m_backup; }
    QPushButton *exitButton() const { return m_exit; }
    QPushButton *cancelButton() const { return m_cancel; }

private:
    Choice m_choice = Cancel;
    QPushButton *m_backup;
    QPushButton *m_exit;
    QPushButton *m_cancel;
};

} // namespace qv::client
