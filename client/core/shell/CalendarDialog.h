// "万年历": a perpetual calendar opened on today, from the tool menu and the
// document windows.
#pragma once

#include <QDialog>

class QCalendarWidget;
class QLabel;

namespace qv::client {

class TCalendarExFrm : public QDialog {
    Q_OBJECT

public:
    explicit TCalendarExFrm(QWidget *parent = nullptr);

    QCalendarWidget *calendar() const { return m_calendar; }

private:
    void showSelected();

    QCalendarWidget *m_calendar;
    QLabel *m_day;
};

} // namespace qv::client
