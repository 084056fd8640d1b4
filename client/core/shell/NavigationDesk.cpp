#include "client/core/shell/NavigationDesk.h"

#include "client/core/data/SqlText.h"
#include "client/core/rights/ApplyRights.h"
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/DeskTable.h"
#include "client/core/shell/FlowLayout.h"
#include "client/core/shell/Icons.h"
#include "client/core/shell/WindowHost.h"
#include "common/Paths.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qv::client {

namespace {

const QColor kPaleBlue(239, 244, 255);
constexpr int kCurrentWidth = 107;
constexpr int kOtherWidth = 83;
constexpr int kMenuItemRole = Qt::UserRole + 1;

// The banner across the top: "top.jpg" when present, else a drawn one.
class Banner : public QWidget {
public:
    Banner(const QPixmap &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
    {
        setFixedHeight(64);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (!m_picture.isNull()) {
            p.drawPixmap(rect(), m_picture);
            return;
        }
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, width(), 0);
        fill.setColorAt(0, QColor(0x1f, 0x5f, 0xa8));
        fill.setColorAt(1, QColor(0x7f, 0xa8, 0xdc));
        p.fillRect(rect(), fill);
        p.drawPixmap(14, 10, iconPixmap(QStringLiteral("app"), 44));
        QFont title = font();
        title.setPixelSize(24);
        title.setBold(true);
        p.setFont(title);
        p.setPen(Qt::white);
        p.drawText(QRect(70, 0, width() - 80, height()), Qt::AlignLeft | Qt::AlignVCenter, TfrmDesk::caption());
    }

private:
    QPixmap m_picture;
};

} // namespace

TfrmDesk::TfrmDesk(ClientSession &session, QWidget *parent) : TFrmQvBase(&session, parent)
{
    setObjectName(QStringLiteral("frmDesk"));
    setWindowTitle(caption());
    const QString top = common::joinPath(session.programFolder(), u"top.jpg");
    if (QFileInfo::exists(top))
        m_topPicture.load(top);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTop());
    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(buildPages(), 1);
    body->addWidget(buildRecent());
    layout->addLayout(body, 1);

    m_recent.load(recentFile());
    refreshTree();
    showPage(0);
    applyRights();
}

TfrmDesk::~TfrmDesk()
{
    saveRecent();
}

QWidget *TfrmDesk::buildTop()
{
    return new Banner(m_topPicture, this);
}

QWidget *TfrmDesk::buildPages()
{
    auto *area = new QWidget(this);
    area->setObjectName(QStringLiteral("deskPages"));
    area->setStyleSheet(QStringLiteral("#deskPages { background: white; }"));
    auto *layout = new QHBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *column = new QWidget(area);
    column->setObjectName(QStringLiteral("deskColumn"));
    column->setFixedWidth(kCurrentWidth + 6);
    column->setStyleSheet(QStringLiteral("#deskColumn { background: rgb(239,244,255); border-right: 1px solid #b8c8e6; }"));
    auto *buttons = new QVBoxLayout(column);
    buttons->setContentsMargins(4, 10, 0, 10);
    buttons->setSpacing(6);
    m_stack = new QStackedWidget(area);
    for (const DeskPage &page : deskPages()) {
        auto *button = new QPushButton(QString::fromUtf8(page.title), column);
        button->setObjectName(QStringLiteral("btnPage%1").arg(page.index));
        button->setFixedHeight(30);
        button->setCursor(Qt::PointingHandCursor);
        const int index = page.index;
        connect(button, &QPushButton::clicked, this, [this, index] { showPage(index); });
        buttons->addWidget(button);
        m_pageButtons.insert(page.index, button);

        auto *sheet = new QWidget(m_stack);
        auto *sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(24, 18, 24, 18);
        sheetLayout->setSpacing(14);
        auto *title = new QLabel(QString::fromUtf8(page.title), sheet);
        title->setObjectName(QStringLiteral("lblPage%1").arg(page.index));
        QFont big = title->font();
        big.setPixelSize(17);
        big.setBold(true);
        title->setFont(big);
        sheetLayout->addWidget(title);
        auto *flow = new FlowLayout(nullptr, 14);
        for (const DeskPicture &entry : page.pictures) {
            const QString name = QString::fromLatin1(entry.name);
            auto *picture = new QToolButton(sheet);
            picture->setObjectName(name);
            picture->setText(QString::fromUtf8(entry.caption));
            picture->setToolTip(QString::fromUtf8(entry.caption));
            picture->setIcon(icon(iconForMenuItem(deskPictureTarget(name))));
            picture->setIconSize(QSize(48, 48));
            picture->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
            picture->setAutoRaise(true);
            picture->setFixedSize(150, 84);
            picture->setCursor(Qt::PointingHandCursor);
            connect(picture, &QToolButton::clicked, this, [this, name] {
                if (WindowHost *main = host())
                    main->RunMenuItem(deskPictureTarget(name));
            });
            flow->addWidget(picture);
            m_pictures.insert(name, picture);
        }
        sheetLayout->addLayout(flow);
        sheetLayout->addStretch(1);
        m_stackIndex.insert(page.index, m_stack->addWidget(sheet));
    }
    buttons->addStretch();
    layout->addWidget(column);
    layout->addWidget(m_stack, 1);
    return area;
}

QWidget *TfrmDesk::buildRecent()
{
    auto *panel = new QWidget(this);
    panel->setFixedWidth(210);
    panel->setObjectName(QStringLiteral("deskRecent"));
    panel->setStyleSheet(QStringLiteral("#deskRecent { background: rgb(239,244,255); border-left: 1px solid #b8c8e6; }"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(6, 8, 6, 8);
    auto *title = new QLabel(QStringLiteral("常用报表"), panel);
    title->setObjectName(QStringLiteral("lblRecent"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    m_tree = new QTreeWidget(panel);
    m_tree->setObjectName(QStringLiteral("TreeFunction"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(m_tree, 1);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { runRecent(m_tree->indexOfTopLevelItem(item)); });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(this);
        const int index = m_tree->indexOfTopLevelItem(m_tree->currentItem());
        menu.addAction(QStringLiteral("清除该常用报表"), this, [this, index] { removeRecent(index); })
            ->setEnabled(index >= 0);
        menu.addAction(QStringLiteral("清除全班常用报表"), this, &TfrmDesk::clearRecent);
        menu.exec(m_tree->viewport()->mapToGlobal(at));
    });
    return panel;
}

void TfrmDesk::styleButtons()
{
    for (auto it = m_pageButtons.cbegin(); it != m_pageButtons.cend(); ++it) {
        QPushButton *button = it.value();
        const QString title = button->text().trimmed();
        if (it.key() == m_page) {
            button->setText(title + QStringLiteral("   "));
            button->setFixedWidth(kCurrentWidth);
            button->setStyleSheet(QStringLiteral("QPushButton { background: white; color: black; font-weight: bold;"
                                                 " border: 1px solid #5a7fb8; border-right: none; text-align: left;"
                                                 " padding-left: 10px; }"));
        } else {
            button->setText(title);
            button->setFixedWidth(kOtherWidth);
            button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: #1d3557; border: none;"
                                                 " text-align: left; padding-left: 10px; }"
                                                 "QPushButton:hover { color: #c0392b; }")
                                      .arg(kPaleBlue.name()));
        }
    }
}

void TfrmDesk::showPage(int index)
{
    if (!m_stackIndex.contains(index))
        return;
    m_page = index;
    m_stack->setCurrentIndex(m_stackIndex.value(index));
    styleButtons();
}

QList<QToolButton *> TfrmDesk::pictures() const
{
    return m_pictures.values();
}

QToolButton *TfrmDesk::picture(const QString &name) const
{
    return m_pictures.value(name);
}

void TfrmDesk::applyRights()
{
    QList<NamedAction> items;
    for (auto it = m_pictures.cbegin(); it != m_pictures.cend(); ++it)
        items << NamedAction{it.key(), ActionKind::DeskButton, it.value()->isEnabled(), true, false};
    applyToDesk(session()->rights(), items);
    for (const NamedAction &item : std::as_const(items)) {
        if (QToolButton *button = m_pictures.value(item.name)) {
            button->setEnabled(item.enabled);
            if (item.blackText)
                button->setStyleSheet(QStringLiteral("QToolButton { color: black; } QToolButton:disabled { color: #9aa5b5; }"));
        }
    }
}

QString TfrmDesk::recentFile() const
{
    return common::joinPath(session()->programFolder(), u"Tree_Function.txt");
}

bool TfrmDesk::saveRecent() const
{
    return m_recent.save(recentFile());
}

void TfrmDesk::refreshTree()
{
    m_tree->clear();
    for (const RecentReport &entry : m_recent.entries()) {
        auto *item = new QTreeWidgetItem(m_tree, {entry.name});
        item->setData(0, kMenuItemRole, entry.menuItem);
        item->setIcon(0, icon(QStringLiteral("report")));
    }
    if (m_tree->topLevelItemCount() > 0)
        m_tree->setCurrentItem(m_tree->topLevelItem(0));
}

void TfrmDesk::AddRecentReport(const QString &reportName)
{
    const QString name = RecentReports::listedName(reportName);
    if (!RecentReports::fits(name))
        return;
    m_recent.remove(name);
    const QVariant object = session()->queries().queryValue(
        QStringLiteral("select ObjectName from Sys_FuncTree_office where  FuncNodeName=") + quoted(name));
    if (!object.isValid() || object.toString().isEmpty()) {
        refreshTree();
        return;
    }
    m_recent.addOnTop({name, object.toString()});
    refreshTree();
}

void TfrmDesk::runRecent(int index)
{
    if (index < 0 || index >= m_recent.entries().size())
        return;
    if (WindowHost *main = host())
        main->RunMenuItem(m_recent.entries().at(index).menuItem);
}

void TfrmDesk::removeRecent(int index)
{
    m_recent.removeAt(index);
    refreshTree();
}

void TfrmDesk::clearRecent()
{
    m_recent.clear();
    refreshTree();
}

void TfrmDesk::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        event->ignore();
        return;
    }
    TFrmQvBase::closeEvent(event);
}

} // namespace qv::client
