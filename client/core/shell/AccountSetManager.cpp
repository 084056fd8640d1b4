#include "client/core/shell/AccountSetManager.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/FrmQvBase.h"
#include "client/core/views/DbGrid.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace qv::client {

namespace {

void showError(QWidget *parent, const QString &message, const QString &detail)
{
    QMessageBox box(QMessageBox::Critical, QString(), message, QMessageBox::Ok, parent);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    box.exec();
}

// "新建帐套" and "修改帐套": a few boxes, with the name (and code) required.
class AccountForm : public QDialog {
public:
    AccountForm(bool create, const QString &name, QWidget *parent) : QDialog(parent), m_create(create)
    {
        setWindowTitle(create ? QStringLiteral("新建帐套") : QStringLiteral("修改帐套"));
        auto *layout = new QVBoxLayout(this);
        auto *form = new QFormLayout;
        if (create) {
            m_code = new QLineEdit(this);
            m_code->setObjectName(QStringLiteral("edtAccountNo"));
            m_code->setMaxLength(50);
            auto *row = new QHBoxLayout;
            row->addWidget(m_code);
            row->addWidget(new QLabel(QStringLiteral("（字母或数字）"), this));
            form->addRow(QStringLiteral("帐套代码"), row);
        }
        m_name = new QLineEdit(name, this);
        m_name->setObjectName(QStringLiteral("edtAccountName"));
        m_name->setMaxLength(50);
        form->addRow(QStringLiteral("帐套名称"), m_name);
        if (create) {
            m_company = new QLineEdit(this);
            m_company->setObjectName(QStringLiteral("edtCompanyName"));
            m_company->setMaxLength(50);
            form->addRow(QStringLiteral("单位名称"), m_company);
        }
        layout->addLayout(form);
        auto *buttons = new QDialogButtonBox(this);
        buttons->addButton(create ? QStringLiteral("创建") : QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &AccountForm::check);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        installEnterMovesFocus(this);
    }

    QString code() const { return m_code ? m_code->text().trimmed() : QString(); }
    QString name() const { return m_name->text().trimmed(); }
    QString company() const { return m_company ? m_company->text().trimmed() : QString(); }

private:
    void check()
    {
        if (m_create && code().isEmpty()) {
            QMessageBox::information(this, QString(), QStringLiteral("帐套代码不能为空"));
            m_code->setFocus();
            return;
        }
        if (name().isEmpty()) {
            QMessageBox::information(this, QString(), QStringLiteral("帐套名称不能为空"));
            m_name->setFocus();
            return;
        }
        accept();
    }

    bool m_create;
    QLineEdit *m_code = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_company = nullptr;
};

} // namespace

TfrmZTManager::TfrmZTManager(ClientSession &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmZTManager"));
    setWindowTitle(QStringLiteral("帐套管理"));
    resize(460, 320);
    auto *layout = new QVBoxLayout(this);
    m_grid = new DbGrid(this);
    m_grid->setObjectName(QStringLiteral("gridAccounts"));
    m_grid->setReadOnly(true);
    layout->addWidget(m_grid, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("右击表格新建、删除或改名"), this));
    buttons->addStretch();
    m_close = new QPushButton(QStringLiteral("关闭(&O)"), this);
    buttons->addWidget(m_close);
    layout->addLayout(buttons);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    m_menu = new QMenu(this);
    m_menu->addAction(QStringLiteral("新建帐套..."), this, &TfrmZTManager::newAccountSet);
    m_menu->addAction(QStringLiteral("删除帐套...."), this, &TfrmZTManager::deleteAccountSet);
    m_menu->addAction(QStringLiteral("修改帐套名称...."), this, &TfrmZTManager::renameAccountSet);
    m_grid->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->view(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_menu->exec(m_grid->view()->viewport()->mapToGlobal(at)); });

    m_accounts = session.data().createDataSet(QStringLiteral("dspAccounts"), QStringLiteral("dspAccounts"));
    installEnterMovesFocus(this);
}

TfrmZTManager::~TfrmZTManager() = default;

bool TfrmZTManager::reload(const QString &keepCode)
{
    m_accounts->close();
    if (!m_accounts->open()) {
        showError(this, m_accounts->lastError().toString(), QString());
        return false;
    }
    m_accounts->fetchAll();
    if (m_grid->dataSet() != m_accounts.get()) {
        m_grid->setDataSet(m_accounts.get());
        m_grid->setColumns({QStringLiteral("AccountNo"), QStringLiteral("AccountName")});
        m_grid->setColumnTitle(QStringLiteral("AccountNo"), QStringLiteral("帐套编码"));
        m_grid->setColumnTitle(QStringLiteral("AccountName"), QStringLiteral("帐套名称"));
        m_grid->setColumnWidth(QStringLiteral("AccountNo"), 110);
        m_grid->setColumnWidth(QStringLiteral("AccountName"), 260);
    }
    m_accounts->first();
    if (!keepCode.isEmpty())
        m_accounts->locate(QStringLiteral("AccountNo"), {keepCode}, LocateOption::CaseInsensitive);
    return true;
}

void TfrmZTManager::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (reload() && !m_accounts->isEmpty())
        m_grid->view()->setFocus();
}

void TfrmZTManager::newAccountSet()
{
    AccountForm form(true, QString(), this);
    if (form.exec() == QDialog::Accepted)
        createAccountSet(form.code(), form.name(), form.company());
}

bool TfrmZTManager::createAccountSet(const QString &code, const QString &name, const QString &company)
{
    const DataResult<bool> created = m_session.data().createAccountSet(code, name, company);
    if (!created) {
        showError(this, QStringLiteral("新建帐套出错！"), created.error);
        reload();
        return false;
    }
    reload(code);
    return true;
}

void TfrmZTManager::deleteAccountSet()
{
    if (!m_accounts->isActive() || m_accounts->isEmpty())
        return;
    const QString code = m_accounts->fieldByName(u"AccountNo")->asString();
    if (code.compare(m_session.card().accountNo, Qt::CaseInsensitive) == 0) {
        removeCurrentAccountSet(false);
        return;
    }
    const QString name = m_accounts->fieldByName(u"AccountName")->asString();
    const auto answer = QMessageBox::question(this, QStringLiteral("提醒"),
                                              QStringLiteral("真的要删除<") + name + QStringLiteral(">帐套吗？"),
                                              QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    removeCurrentAccountSet(answer == QMessageBox::Ok);
}

bool TfrmZTManager::removeCurrentAccountSet(bool confirmed)
{
    if (!m_accounts->isActive() || m_accounts->isEmpty())
        return false;
    const QString code = m_accounts->fieldByName(u"AccountNo")->asString();
    // The account set in use is refused before anything is asked.
    if (code.compare(m_session.card().accountNo, Qt::CaseInsensitive) == 0) {
        QMessageBox::critical(this, QStringLiteral("错误"), QString::fromUtf8(kAccountInUseMessage));
        return false;
    }
    if (!confirmed)
        return false;
    const DataResult<bool> removed = m_session.data().deleteAccountSet(code);
    if (!removed) {
        showError(this, QStringLiteral("删除帐套出错！"), removed.error);
        return false;
    }
    reload();
    return true;
}

void TfrmZTManager::renameAccountSet()
{
    if (!m_accounts->isActive() || m_accounts->isEmpty())
        return;
    AccountForm form(false, m_accounts->fieldByName(u"AccountName")->asString(), this);
    if (form.exec() == QDialog::Accepted)
        renameCurrentAccountSet(form.name());
}

bool TfrmZTManager::renameCurrentAccountSet(const QString &name)
{
    if (name.trimmed().isEmpty()) {
        QMessageBox::information(this, QString(), QStringLiteral("帐套名称不能为空"));
        return false;
    }
    const QString code = m_accounts->fieldByName(u"AccountNo")->asString();
    const bool ok = m_accounts->edit() && m_accounts->fieldByName(u"AccountName")->setValue(name.trimmed())
                    && m_accounts->post() && m_accounts->applyUpdates(-1) == 0;
    if (!ok) {
        showError(this, m_accounts->lastError().toString(), QString());
        m_accounts->cancel();
        m_accounts->cancelUpdates();
        return false;
    }
    if (code.compare(m_session.card().accountNo, Qt::CaseInsensitive) == 0)
        m_session.card().accountName = name.trimmed();
    reload(code);
    return true;
}

} // namespace qv::client
