#include "client/core/shell/LoginDialog.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/FrmQvBase.h"
#include "client/core/views/DataSetModel.h"
#include "common/GbkText.h"
#include "common/Paths.h"

#include <QComboBox>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringDecoder>
#include <QTableView>
#include <QVBoxLayout>

namespace qv::client {

namespace {

// The file may come from the old programs in code page 936.
std::optional<QString> decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return common::fromGbk(bytes);
}

} // namespace

bool loadSampleData(ClientSession &session)
{
    const QString path = common::joinPath(session.programFolder(), u"demo.txt");
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<QString> text = decodeText(file.readAll());
    file.close();
    if (!text)
        return false;
    const QStringList lines = text->split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        session.data().tryExecSql(line);
    }
    QFile::remove(path);
    return true;
}

TfrmLogin::TfrmLogin(ClientSession &session, QWidget *parent) : QDialog(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("用户登录"));
    setFixedSize(340, 190);

    auto *layout = new QVBoxLayout(this);
    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("用户代码:"), this), 0, 0);
    m_user = new QComboBox(this);
    m_user->setObjectName(QStringLiteral("cbUserCode"));
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    form->addWidget(m_user, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("登录密码:"), this), 1, 0);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("edtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addWidget(m_password, 1, 1);
    auto *hint = new QLabel(QStringLiteral("初始密码为空\n直接确定即可"), this);
    hint->setStyleSheet(QStringLiteral("color: #7a4b00;"));
    form->addWidget(hint, 2, 1);
    form->setColumnStretch(1, 1);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    m_ok->setObjectName(QStringLiteral("btnOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &TfrmLogin::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_user, &QComboBox::editTextChanged, this, &TfrmLogin::updateOk);
    installEnterMovesFocus(this);

    const DataResult<qint64> opened = session.data().connectAct(session.card().accountNo, session.card().databaseKind);
    if (!opened || opened.value != 0) {
        m_user->setEnabled(false);
        m_password->setEnabled(false);
        m_ok->setEnabled(false);
        return;
    }
    m_users = session.data().appUser();
    if (!m_users || !session.data().runSql(m_users, QStringLiteral("select * from AppUser"), true)) {
        QMessageBox::critical(parent, QString(), session.data().lastError());
        m_ok->setEnabled(false);
        return;
    }
    m_users->fetchAll();
    m_userModel = new DataSetModel(this);
    m_userModel->setDataSet(m_users);
    m_userModel->setColumns({QStringLiteral("uCode"), QStringLiteral("uName")});
    m_userModel->setHeaderData(0, Qt::Horizontal, QStringLiteral("用户代码"));
    m_userModel->setHeaderData(1, Qt::Horizontal, QStringLiteral("用户名称"));
    auto *list = new QTableView(m_user);
    list->verticalHeader()->hide();
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->horizontalHeader()->setStretchLastSection(true);
    m_user->setModel(m_userModel);
    m_user->setView(list);
    m_user->setModelColumn(0);
    m_user->view()->setMinimumWidth(260);
    m_shouldShow = true;
}

TfrmLogin::~TfrmLogin() = default;

bool TfrmLogin::prepare()
{
    QDir program(m_session.programFolder());
    if (!program.exists(QStringLiteral("System"))) {
        program.mkpath(QStringLiteral("System"));
        if (!loadSampleData(m_session)) {
            QMessageBox::critical(parentWidget(), QString(), QString::fromUtf8(kDemoLoadFailedMessage));
            return false;
        }
    }
    program.mkpath(QStringLiteral("Reports"));
    m_session.global().workstation = computerName();

    QString code = m_session.settings().user();
    if (code.isEmpty())
        code = QStringLiteral("SYS");
    m_user->setEditText(code);
    updateOk();
    m_session.rights().showPendingAtStart = m_session.settings().showPendingAtStart();
    return true;
}

void TfrmLogin::updateOk()
{
    m_ok->setEnabled(m_shouldShow && !m_user->currentText().isEmpty());
}

void TfrmLogin::confirm()
{
    const QString code = m_user->currentText();
    if (!m_users || !m_users->locate(QStringLiteral("uCode"), {code}, LocateOption::CaseInsensitive)) {
        QMessageBox::critical(this, QStringLiteral("系统登录"), QString::fromUtf8(kUnknownUserMessage));
        m_user->setFocus();
        return;
    }
    // The password is compared exactly: case and length matter.
    if (m_password->text() != m_users->fieldByName(u"uPassword")->asString()) {
        QMessageBox::critical(this, QStringLiteral("系统登录"), QString::fromUtf8(kWrongPasswordMessage));
        m_password->setFocus();
        return;
    }
    TData &data = m_session.data();
    const DataResult<bool> company = m_session.rights().loadCompanySettings(data);
    if (!company) {
        QMessageBox::critical(this, QString(), company.error);
        return;
    }
    TGlobal &global = m_session.global();
    global.userId = m_users->fieldByName(u"ID")->asInteger();
    global.userCode = m_users->fieldByName(u"uCode")->asString();
    global.userName = m_users->fieldByName(u"uName")->asString();
    global.password = m_users->fieldByName(u"uPassword")->asString();
    global.groupList = m_users->fieldByName(u"gID")->asString();
    global.shareUserWithRights();
    accept();
}

void TfrmLogin::done(int result)
{
    m_session.settings().setUser(m_user->currentText());
    if (m_users) {
        m_user->setModel(new QStandardItemModel(m_user));
        m_users->close();
        m_users = nullptr;
    }
    QDialog::done(result);
}

} // namespace qv::client
