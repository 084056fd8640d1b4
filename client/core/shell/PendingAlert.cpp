#include "client/core/shell/PendingAlert.h"

#include "client/core/shell/ClientSession.h"
#include "client/core/shell/MainWindow.h"
#include "client/core/views/DbGrid.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace qv::client {

std::optional<QList<PendingKind>> pendingKinds(const QString &alertKind)
{
    if (alertKind == QStringLiteral("audit_office")) {
        return QList<PendingKind>{{"采购入库", "cgshzb"}, {"物品领用", "llzb"},   {"物品归还", "tlzb"},
                                  {"库存盘点", "kcpdzb"}, {"仓库调拨", "ckdbzb"}, {"库存变动", "qtkcbdzb"},
                                  {"费用开支", "fykzzb"}, {"其它收入", "qtsrzb"}};
    }
    if (alertKind == QStringLiteral("audit_jxc")) {
        return QList<PendingKind>{{"采购订单", "cgddzb"}, {"采购入库", "cgshzb"}, {"采购退货", "cgthzb"},
                                  {"销售订单", "xsddzb"}, {"销售出库", "xskdzb"}, {"销售退货", "xsthzb"},
                                  {"领料", "llzb"},       {"退料", "tlzb"},       {"产品进仓", "cpjczb"},
                                  {"库存盘点", "kcpdzb"}, {"仓库调拨", "ckdbzb"}, {"库存变动", "qtkcbdzb"},
                                  {"费用开支", "fykzzb"}, {"其它收入", "qtsrzb"}};
    }
    return std::nullopt;
}

QString pendingQuery(const QList<PendingKind> &kinds, bool superUser, const QStringList &allowedFunctionNames,
                     bool atStart)
{
    QString parts;
    for (const PendingKind &kind : kinds) {
        const QString name = QString::fromUtf8(kind.name);
        if (!superUser && !allowedFunctionNames.contains(name))
            continue;
        parts += QStringLiteral("union all select '") + name + QStringLiteral("' as sType,count(*) as Qty from ")
                 + QString::fromLatin1(kind.table) + QStringLiteral(" where uflag=0 ");
    }
    if (parts.isEmpty())
        return {};
    parts = parts.mid(9); // the leading "union all"
    if (atStart)
        return QStringLiteral(" select * from (") + parts + QStringLiteral(") a where Qty > 0 ");
    return parts;
}

TfrmAlert::TfrmAlert(ClientSession &session, const QString &sql) : TFrmAddTab(&session)
{
    setObjectName(QStringLiteral("frmAlert"));
    setWindowTitle(QStringLiteral("系统提示"));
    auto *layout = new QVBoxLayout(this);
    auto *header = new QLabel(QStringLiteral("待办业务提示"), this);
    QFont big = header->font();
    big.setPixelSize(18);
    big.setBold(true);
    header->setFont(big);
    header->setStyleSheet(QStringLiteral("color: #1f4f8a; padding: 4px;"));
    layout->addWidget(header);

    m_pages = new QTabWidget(this);
    auto *audit = new QWidget(m_pages);
    auto *auditLayout = new QVBoxLayout(audit);
    m_grid = new DbGrid(audit);
    m_grid->setObjectName(QStringLiteral("gridAudit"));
    m_grid->setReadOnly(true);
    auditLayout->addWidget(m_grid);
    m_pages->addTab(audit, QStringLiteral("待审核单据"));
    // The stock warnings have a page of their own that this client keeps hidden.
    auto *stockPage = new QWidget(m_pages);
    m_pages->addTab(stockPage, QStringLiteral("库存报警"));
    m_pages->setTabVisible(1, false);
    layout->addWidget(m_pages, 1);

    auto *bottom = new QHBoxLayout;
    m_showAtStart = new QCheckBox(QStringLiteral("在进入系统时自动显示此窗口"), this);
    m_showAtStart->setChecked(session.settings().showPendingAtStart());
    bottom->addWidget(m_showAtStart);
    bottom->addStretch();
    m_view = new QPushButton(QStringLiteral("查看(&S)"), this);
    m_close = new QPushButton(QStringLiteral("关闭(&E)"), this);
    bottom->addWidget(m_view);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    connect(m_view, &QPushButton::clicked, this, &TfrmAlert::viewCurrent);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_grid->view(), &QTableView::doubleClicked, this, &TfrmAlert::viewCurrent);

    m_counts = session.data().createDataSet(QStringLiteral("cdsAlert"), QStringLiteral("pTmp"));
    if (!sql.isEmpty() && session.data().runSql(m_counts.get(), sql, true)) {
        m_counts->fetchAll();
        m_grid->setDataSet(m_counts.get());
        m_grid->setColumns({QStringLiteral("sType"), QStringLiteral("Qty")});
        m_grid->setColumnTitle(QStringLiteral("sType"), QStringLiteral("业务类型"));
        m_grid->setColumnTitle(QStringLiteral("Qty"), QStringLiteral("单据张数"));
        m_grid->setColumnWidth(QStringLiteral("sType"), 160);
        m_grid->setColumnWidth(QStringLiteral("Qty"), 90);
        m_counts->first();
    }
}

TfrmAlert::~TfrmAlert() = default;

bool TfrmAlert::hasRows() const
{
    return m_counts && m_counts->isActive() && !m_counts->isEmpty();
}

void TfrmAlert::viewCurrent()
{
    if (!hasRows() || !session())
        return;
    const QString kind = m_counts->fieldByName(u"sType")->asString();
    OpenBillList(session()->billWindows(), kind, session()->mainWindow());
}

void TfrmAlert::closeEvent(QCloseEvent *event)
{
    if (session()) {
        session()->settings().setShowPendingAtStart(m_showAtStart->isChecked());
        session()->rights().showPendingAtStart = m_showAtStart->isChecked();
    }
    TFrmAddTab::closeEvent(event);
}

TfrmAlert *ShowPending(ClientSession &session, const QString &alertKind, bool atStart)
{
    if (atStart && !session.settings().showPendingAtStart())
        return nullptr;
    const std::optional<QList<PendingKind>> kinds = pendingKinds(alertKind);
    MainWindow *main = session.mainWindow();
    if (!kinds) {
        QMessageBox::information(main, QString(), QStringLiteral("提醒类型不正确！"));
        return nullptr;
    }
    const QString sql = pendingQuery(*kinds, session.isSuperUser(), session.rights().allowedFunctionNames, atStart);
    if (atStart) {
        // Nothing waits (or the count failed): no window at start-up.
        if (sql.isEmpty())
            return nullptr;
        DataSet *probe = session.data().getPoolQuery();
        const bool any = session.data().runSql(probe, sql, true) && !probe->isEmpty();
        probe->close();
        if (!any)
            return nullptr;
    }
    if (!main)
        return nullptr;
    QWidget *window = main->OpenChild(QStringLiteral("TfrmAlert"), [&session, &sql] {
        return new TfrmAlert(session, sql);
    });
    return qobject_cast<TfrmAlert *>(window);
}

} // namespace qv::client
