// The picture shown while the client starts, and again by "关于": 400 by 300,
// without a frame, centred. "start.jpg" of the program folder is the picture
// when present; otherwise the client draws its own.
#pragma once

#include <QDialog>
#include <QPixmap>

namespace qv::client {

class SplashWindow : public QDialog {
    Q_OBJECT

public:
    explicit SplashWindow(const QString &programFolder, QWidget *parent = nullptr);

    bool hasPicture() const { return !m_picture.isNull(); }
    // As "关于": a click on the picture closes it.
    void setClosesOnClick(bool closes) { m_closesOnClick = closes; }

    // Shows the window, paints it and keeps the event loop running for `ms`.
    void showFor(int ms);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void drawOwnPicture(QPainter &p);

    QPixmap m_picture;
    bool m_closesOnClick = false;
};

} // namespace qv::client
