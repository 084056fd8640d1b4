// "系统提示": how many documents of each kind still wait for their audit. At
// start-up it shows only when the user wants it (login/showaudit) and only
// kinds that have drafts; from the menu it lists every kind the user may open,
// with 0 where nothing waits. "查看(&S)" opens the list window of the kind.
#pragma once

#include "client/core/shell/FrmAddTab.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QCheckBox;
class QPushButton;
class QTabWidget;

namespace qv::client {

class DataSet;
class DbGrid;

struct PendingKind {
    const char *name;  // shown in the list and handed to OpenBillList
    const char *table; // header table counted where uflag=0
};

// The kinds of an alert ("audit_office", "audit_jxc"); nullopt for others.
std::optional<QList<PendingKind>> pendingKinds(const QString &alertKind);

// The counting statement: one part per kind the user may open (SYS: every
// kind), joined by "union all"; at start-up only the kinds with drafts. Empty
// when the user may open none.
QString pendingQuery(const QList<PendingKind> &kinds, bool superUser, const QStringList &allowedFunctionNames,
                     bool atStart);

class TfrmAlert : public TFrmAddTab {
    Q_OBJECT

public:
    TfrmAlert(ClientSession &session, const QString &sql);
    ~TfrmAlert() override;

    DataSet *counts() const { return m_counts.get(); }
    DbGrid *grid() const { return m_grid; }
    QCheckBox *showAtStart() const { return m_showAtStart; }
    QPushButton *viewButton() const { return m_view; }
    bool hasRows() const;

    // "查看(&S)": the list window of the current row's kind.
    void viewCurrent();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<DataSet> m_counts;
    DbGrid *m_grid;
    QTabWidget *m_pages;
    QCheckBox *m_showAtStart;
    QPushButton *m_view;
    QPushButton *m_close;
};

// Runs the alert. With atStart it does nothing when the user switched it off
// and opens no window when nothing waits. An unknown kind shows
// "提醒类型不正确！". Answers the window when one was opened.
TfrmAlert *ShowPending(ClientSession &session, const QString &alertKind, bool atStart);

} // namespace qv::client
