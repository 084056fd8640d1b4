#include "client/core/shell/TabStrip.h"

namespace qv::client {

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setObjectName(QStringLiteral("TabStrip"));
    setShape(QTabBar::RoundedSouth);
    setFixedHeight(kHeight);
    setDrawBase(false);
    setExpanding(false);
    setTabsClosable(true);
    setMovable(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
    setDocumentMode(true);
    setStyleSheet(QStringLiteral(
        "QTabBar#TabStrip { background: #c9d7f0; }"
        "QTabBar#TabStrip::tab { background: #eff4ff; color: #1d3557; border: 1px solid #8fa8d0;"
        " border-top: none; padding: 1px 6px; height: 19px; margin-right: 2px; }"
        "QTabBar#TabStrip::tab:selected { background: white; color: black; font-weight: bold; }"
        "QTabBar#TabStrip::tab:hover:!selected { background: #dfe8fb; }"));

    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_quiet && index >= 0)
            emit captionSelected(tabText(index).trimmed());
    });
    connect(this, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            emit captionSelected(tabText(index).trimmed());
    });
    connect(this, &QTabBar::tabCloseRequested, this,
            [this](int index) { emit closeRequested(tabText(index).trimmed()); });
}

int TabStrip::indexOfCaption(const QString &caption) const
{
    const QString wanted = caption.trimmed();
    for (int i = 0; i < count(); ++i) {
        if (tabText(i).trimmed() == wanted)
            return i;
    }
    return -1;
}

void TabStrip::showCaption(const QString &caption)
{
    int index = indexOfCaption(caption);
    m_quiet = true;
    if (index < 0)
        index = addTab(caption.trimmed() + QStringLiteral("   "));
    setCurrentIndex(index);
    m_quiet = false;
}

void TabStrip::removeCaption(const QString &caption)
{
    const int index = indexOfCaption(caption);
    if (index < 0)
        return;
    m_quiet = true;
    removeTab(index);
    m_quiet = false;
}

void TabStrip::setPermanent(int index)
{
    for (QTabBar::ButtonPosition side : {QTabBar::LeftSide, QTabBar::RightSide}) {
        if (QWidget *button = tabButton(index, side)) {
            button->hide();
            setTabButton(index, side, nullptr);
        }
    }
}

QStringList TabStrip::captions() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << tabText(i).trimmed();
    return list;
}

} // namespace qv::client
