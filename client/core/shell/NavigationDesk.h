// "业务导航": the desk that stays open behind every other child window. Its
// left column chooses a page of function pictures (the same functions as the
// menu, grouped by area), a click on a picture runs its menu item, so the
// menu's rights govern the desk too; on the right, the recently used reports.
#pragma once

#include "client/core/shell/FrmQvBase.h"
#include "client/core/shell/RecentReports.h"

#include <QHash>
#include <QPixmap>

class QLabel;
class QPushButton;
class QStackedWidget;
class QToolButton;
class QTreeWidget;

namespace qv::client {

class TfrmDesk : public TFrmQvBase {
    Q_OBJECT

public:
    static QString caption() { return QStringLiteral("业务导航"); }

    explicit TfrmDesk(ClientSession &session, QWidget *parent = nullptr);
    ~TfrmDesk() override;

    void showPage(int index);
    int currentPage() const { return m_page; }
    QPushButton *pageButton(int index) const { return m_pageButtons.value(index); }
    QList<QToolButton *> pictures() const;
    QToolButton *picture(const QString &name) const;

    // The report framework calls this each time a report window opens.
    void AddRecentReport(const QString &reportName);
    const RecentReports &recentReports() const { return m_recent; }
    QTreeWidget *recentTree() const { return m_tree; }
    // Runs the menu item of the recent entry.
    void runRecent(int index);
    void removeRecent(int index);
    void clearRecent();
    QString recentFile() const;
    bool saveRecent() const;

    // The desk is never closed by the user; at program end it may go.
    void allowClose() { m_closing = true; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildTop();
    QWidget *buildPages();
    QWidget *buildRecent();
    void applyRights();
    void refreshTree();
    void styleButtons();

    QPixmap m_topPicture;
    QStackedWidget *m_stack = nullptr;
    QHash<int, QPushButton *> m_pageButtons;
    QHash<int, int> m_stackIndex; // page number -> stack position
    QHash<QString, QToolButton *> m_pictures;
    QTreeWidget *m_tree = nullptr;
    RecentReports m_recent;
    int m_page = -1;
    bool m_closing = false;
};

} // namespace qv::client
