// A date box that can be empty: the empty state is its minimum date, shown as
// blank. Delete or Backspace over the whole text empties it; typing or stepping
// from empty starts at today. Dates are shown "yyyy-MM-dd" with a calendar.
#pragma once

#include <QDateEdit>

namespace qv::client {

class NullableDateEdit : public QDateEdit {
    Q_OBJECT

public:
    explicit NullableDateEdit(QWidget *parent = nullptr);

    bool isNull() const { return date() == minimumDate(); }
    // An invalid date empties the box.
    void setNullableDate(QDate date);
    QDate nullableDate() const { return isNull() ? QDate() : date(); }
    void clearDate() { setDate(minimumDate()); }

    void stepBy(int steps) override;

signals:
    // The user changed the date (not a program setting it).
    void userChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_setting = false;
};

} // namespace qv::client
