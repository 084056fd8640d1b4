#include "server/desktop/LinkConfigDialog.h"

#include "server/LinkProbe.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace qv::server {

namespace {

// Reads the database list when the list opens.
class DatabaseCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

LinkConfigDialog::LinkConfigDialog(const LinkSettings &current, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TdlgLinkConfig"));
    setWindowTitle(QStringLiteral("配置数据库"));

    m_server = new QLineEdit(this);
    m_server->setText(current.server.isEmpty() || current.server == QLatin1String(".")
                          ? QSysInfo::machineHostName()
                          : current.server);
    m_user = new QLineEdit(current.user.isEmpty() ? QStringLiteral("sa") : current.user, this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    auto *database = new DatabaseCombo(this);
    database->beforePopup = [this] { fillDatabaseList(); };
    m_database = database;
    m_database->setEditable(true);
    m_database->setToolTip(QStringLiteral("在这里输入连接数据库名"));
    m_database->setEditText(QStringLiteral("QvData"));
    // The dialog always builds a login with a user name.
    m_trusted = new QCheckBox(QStringLiteral("使用信任连接"), this);
    m_trusted->hide();

    auto *test = new QLabel(QStringLiteral("<a href=\"test\">测试连接...</a>"), this);
    connect(test, &QLabel::linkActivated, this, &LinkConfigDialog::testLink);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("数据库服务器："), m_server);
    form->addRow(QStringLiteral("用户名："), m_user);
    form->addRow(QStringLiteral("密码："), m_password);
    form->addRow(QStringLiteral("数据库名称："), m_database);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定(&O)"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消(&C)"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &LinkConfigDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LinkConfigDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_trusted);
    layout->addWidget(test);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

LinkSettings LinkConfigDialog::settings() const
{
    LinkSettings s;
    s.server = m_server->text().trimmed();
    s.user = m_user->text().trimmed();
    s.password = m_password->text();
    s.database = m_database->currentText().trimmed();
    s.trusted = false;
    s.autoTranslate = false;
    return s;
}

void LinkConfigDialog::fillDatabaseList()
{
    BusyCursor busy;
    const QString typed = m_database->currentText();
    QString error;
    const auto names = listDatabases(settings(), &error);
    if (!names)
        return;
    m_database->clear();
    m_database->addItems(*names);
    m_database->setEditText(typed);
}

void LinkConfigDialog::testLink()
{
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        ok = probeLink(settings(), &error);
    }
    if (ok)
        QMessageBox::information(this, QStringLiteral("提示"), QStringLiteral("数据库连接成功！"));
    else
        QMessageBox::critical(this, QStringLiteral("提示"), QStringLiteral("数据库连接错误！"));
}

void LinkConfigDialog::accept()
{
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        ok = probeLink(settings(), &error);
    }
    if (!ok) {
        QMessageBox::critical(this, windowTitle(), error);
        return;
    }
    QDialog::accept();
}

} // namespace qv::server
