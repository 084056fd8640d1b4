// The footer row under a DbGrid's table: one cell under each visible column,
// aligned with it as columns are resized, moved and scrolled.
#pragma once

#include <QWidget>

namespace qv::client {

class DbGrid;

class GridFooter : public QWidget {
    Q_OBJECT

public:
    explicit GridFooter(DbGrid *grid);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DbGrid *m_grid;
};

} // namespace qv::client
