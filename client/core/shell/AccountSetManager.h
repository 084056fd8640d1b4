// "帐套管理": the account sets of the server, created, renamed and deleted.
// The server creates an account set from its template and registers it, and
// deletes one only when no client has it open; the account set this client
// works in is never offered for deletion.
#pragma once

#include <QDialog>

#include <memory>

class QMenu;
class QPushButton;

namespace qv::client {

class ClientSession;
class DataSet;
class DbGrid;

inline constexpr const char *kAccountInUseMessage = "删除帐套出错，帐套正在使用！";

class TfrmZTManager : public QDialog {
    Q_OBJECT

public:
    explicit TfrmZTManager(ClientSession &session, QWidget *parent = nullptr);
    ~TfrmZTManager() override;

    DataSet *accounts() const { return m_accounts.get(); }
    DbGrid *grid() const { return m_grid; }
    QMenu *contextMenu() const { return m_menu; }

    // The three commands of the context menu.
    void newAccountSet();
    void deleteAccountSet();
    void renameAccountSet();

    // What the commands do once the user has answered: false with the
    // message shown when refused or failed.
    bool createAccountSet(const QString &code, const QString &name, const QString &company);
    bool removeCurrentAccountSet(bool confirmed);
    bool renameCurrentAccountSet(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool reload(const QString &keepCode = QString());

    ClientSession &m_session;
    std::unique_ptr<DataSet> m_accounts;
    DbGrid *m_grid;
    QMenu *m_menu;
    QPushButton *m_close;
};

} // namespace qv::client
