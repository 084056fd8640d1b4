// "请选择帐套": connects to the server and lists its account sets. OK checks
// for a newer client on the server first, then remembers the chosen account
// set in the session and in SysConfig.ini.
#pragma once

#include <QDialog>

#include <memory>

class QPushButton;
class QLabel;

namespace qv::client {

class ClientSession;
class DataSet;
class DbGrid;

class TfrmZTLogin : public QDialog {
    Q_OBJECT

public:
    explicit TfrmZTLogin(ClientSession &session, QWidget *parent = nullptr);
    ~TfrmZTLogin() override;

    // False when the server could not be reached: the window is not shown and
    // the program ends.
    bool shouldShow() const { return m_shouldShow; }
    // True when the user took a newer client: the program ends for it.
    bool updateTaken() const { return m_updateTaken; }

    DataSet *accounts() const { return m_accounts.get(); }
    DbGrid *grid() const { return m_grid; }
    QPushButton *okButton() const { return m_ok; }

    // Puts the cursor on login/ztcode (the first row when it names none).
    void placeCursor();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void confirm();

    ClientSession &m_session;
    std::unique_ptr<DataSet> m_accounts;
    DbGrid *m_grid;
    QLabel *m_empty;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    bool m_shouldShow = false;
    bool m_updateTaken = false;
};

} // namespace qv::client
