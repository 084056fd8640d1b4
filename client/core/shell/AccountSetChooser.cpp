#include "client/core/shell/AccountSetChooser.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/FrmQvBase.h"
#include "client/core/shell/SelfUpdate.h"
#include "client/core/shell/ServerConnect.h"
#include "client/core/views/DbGrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace qv::client {

TfrmZTLogin::TfrmZTLogin(ClientSession &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmZTLogin"));
    setWindowTitle(session.card().productTitle.isEmpty() ? QStringLiteral("请选择帐套") : session.card().productTitle);
    resize(420, 300);

    auto *layout = new QVBoxLayout(this);
    auto *caption = new QLabel(QStringLiteral("请选择帐套"), this);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    layout->addWidget(caption);
    m_grid = new DbGrid(this);
    m_grid->setObjectName(QStringLiteral("gridAccounts"));
    m_grid->setReadOnly(true);
    m_grid->setSortable(false);
    layout->addWidget(m_grid, 1);
    m_empty = new QLabel(QStringLiteral("服务器上还没有帐套。"), this);
    m_empty->hide();
    layout->addWidget(m_empty);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &TfrmZTLogin::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid->view(), &QTableView::doubleClicked, this, [this] {
        if (m_ok->isEnabled())
            confirm();
    });

    if (!connectToConfiguredServer(session, parent)) {
        m_ok->setEnabled(false);
        return;
    }
    m_accounts = session.data().createDataSet(QStringLiteral("dspAccounts"), QStringLiteral("dspAccounts"));
    if (!m_accounts->open()) {
        QMessageBox::critical(parent, QString(), m_accounts->lastError().toString());
        m_ok->setEnabled(false);
        return;
    }
    m_accounts->fetchAll();
    m_grid->setDataSet(m_accounts.get());
    m_grid->setColumns({QStringLiteral("AccountNo"), QStringLiteral("AccountName")});
    m_grid->setColumnTitle(QStringLiteral("AccountNo"), QStringLiteral("帐套编码"));
    m_grid->setColumnTitle(QStringLiteral("AccountName"), QStringLiteral("帐套名称"));
    m_grid->setColumnWidth(QStringLiteral("AccountNo"), 110);
    m_grid->setColumnWidth(QStringLiteral("AccountName"), 240);
    // With no account set there is nothing to open; the user can only leave.
    m_ok->setEnabled(!m_accounts->isEmpty());
    m_empty->setVisible(m_accounts->isEmpty());
    installEnterMovesFocus(this);
    m_shouldShow = true;
}

TfrmZTLogin::~TfrmZTLogin() = default;

void TfrmZTLogin::placeCursor()
{
    if (!m_accounts || !m_accounts->isActive() || m_accounts->isEmpty())
        return;
    m_accounts->first();
    const QString code = m_session.settings().accountSet();
    if (!code.isEmpty())
        m_accounts->locate(QStringLiteral("AccountNo"), {code}, LocateOption::CaseInsensitive);
}

void TfrmZTLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    placeCursor();
    m_grid->view()->setFocus();
}

void TfrmZTLogin::confirm()
{
    if (!m_accounts || m_accounts->isEmpty())
        return;
    if (SelfUpdate::check(m_session, this)) {
        m_updateTaken = true;
        reject();
        return;
    }
    TNetCardInfo &card = m_session.card();
    card.accountNo = m_accounts->fieldByName(u"AccountNo")->asString();
    card.accountName = m_accounts->fieldByName(u"AccountName")->asString();
    m_session.settings().setAccountSet(card.accountNo);
    accept();
}

} // namespace qv::client
