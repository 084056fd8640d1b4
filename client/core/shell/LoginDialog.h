// "用户登录": opens the chosen account set on the server, then checks the
// user's code (without regard to case) and password (exactly) against
// AppUser. On success the session holds the user, the company settings and
// the user's groups. Closing the window by any means remembers the typed code.
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qv::client {

class ClientSession;
class DataSet;
class DataSetModel;

inline constexpr const char *kUnknownUserMessage = "无效的用户代码,请重新输入!";
inline constexpr const char *kWrongPasswordMessage = "无效的密码, 请重新输入!";
inline constexpr const char *kDemoLoadFailedMessage = "加载演示数据失败！";

class TfrmLogin : public QDialog {
    Q_OBJECT

public:
    explicit TfrmLogin(ClientSession &session, QWidget *parent = nullptr);
    ~TfrmLogin() override;

    // False when the server could not open the account set: the window is not
    // shown and the program ends.
    bool shouldShow() const { return m_shouldShow; }

    // What the window does as it is shown: the first-run folders and sample
    // data, the workstation name, the remembered user code and the alert
    // switch. False when the sample data could not be read (the start-up is
    // abandoned after the message).
    bool prepare();

    QComboBox *userBox() const { return m_user; }
    QLineEdit *passwordBox() const { return m_password; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void done(int result) override;

private:
    void confirm();
    void updateOk();

    ClientSession &m_session;
    DataSet *m_users = nullptr;
    DataSetModel *m_userModel = nullptr;
    QComboBox *m_user;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    bool m_shouldShow = false;
};

// The first-run sample data: every non-empty line of "demo.txt" in the program
// folder runs as one statement (failures are skipped), then the file is
// deleted. Without the file nothing happens. False when the file exists but
// cannot be read.
bool loadSampleData(ClientSession &session);

} // namespace qv::client
