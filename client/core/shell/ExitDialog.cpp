#include "client/core/shell/ExitDialog.h"

#include "client/core/shell/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::client {

TfrmExit::TfrmExit(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmExit"));
    setWindowTitle(QStringLiteral("退出选项"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setPixmap(iconPixmap(QStringLiteral("exit"), 48));
    top->addWidget(picture, 0, Qt::AlignTop);
    auto *text = new QLabel(QStringLiteral("为了数据安全，建议您在退出系统前备份数据库。\n"
                                           "选择“备份退出”将先在服务器上备份当前帐套再退出。"),
                            this);
    text->setWordWrap(true);
    text->setMinimumWidth(340);
    top->addWidget(text, 1);
    layout->addLayout(top);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_backup = new QPushButton(QStringLiteral("备份退出"), this);
    m_exit = new QPushButton(QStringLiteral("直接退出"), this);
    m_cancel = new QPushButton(QStringLiteral("取消退出"), this);
    buttons->addWidget(m_backup);
    buttons->addWidget(m_exit);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_backup, &QPushButton::clicked, this, [this] {
        m_choice = BackupAndExit;
        accept();
    });
    connect(m_exit, &QPushButton::clicked, this, [this] {
        m_choice = Exit;
        accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_choice = Cancel;
        reject();
    });
    m_backup->setDefault(true);
}

TfrmExit::Choice TfrmExit::ask()
{
    if (exec() != QDialog::Accepted)
        m_choice = Cancel;
    return m_choice;
}

} // namespace qv::client
