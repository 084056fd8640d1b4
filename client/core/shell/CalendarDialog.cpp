#include "client/core/shell/CalendarDialog.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv::client {

namespace {

QString weekdayName(const QDate &date)
{
    static const char *const names[] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
    return QString::fromUtf8(names[date.dayOfWeek() - 1]);
}

} // namespace

TCalendarExFrm::TCalendarExFrm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CalendarExFrm"));
    setWindowTitle(QStringLiteral("万年历"));
    auto *layout = new QVBoxLayout(this);
    m_day = new QLabel(this);
    QFont big = m_day->font();
    big.setPixelSize(18);
    big.setBold(true);
    m_day->setFont(big);
    m_day->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_day);
    m_calendar = new QCalendarWidget(this);
    m_calendar->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    m_calendar->setFirstDayOfWeek(Qt::Sunday);
    m_calendar->setGridVisible(true);
    m_calendar->setSelectedDate(QDate::currentDate());
    layout->addWidget(m_calendar);
    auto *buttons = new QHBoxLayout;
    auto *today = new QPushButton(QStringLiteral("今天"), this);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    buttons->addWidget(today);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(today, &QPushButton::clicked, this, [this] { m_calendar->setSelectedDate(QDate::currentDate()); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &TCalendarExFrm::showSelected);
    showSelected();
}

void TCalendarExFrm::showSelected()
{
    const QDate date = m_calendar->selectedDate();
    m_day->setText(date.toString(QStringLiteral("yyyy年MM月dd日 ")) + weekdayName(date));
}

} // namespace qv::client
