// "服务器名称或IP地址": the first question of the start-up. The whole window is
// a picture that can be dragged with the mouse; the box takes "host" or
// "host:port" and OK remembers it in SysConfig.ini.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qv::client {

class ClientSession;

class TfrmServerAddress : public QDialog {
    Q_OBJECT

public:
    explicit TfrmServerAddress(ClientSession &session, QWidget *parent = nullptr);

    QLineEdit *addressBox() const { return m_address; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void confirm();

    ClientSession &m_session;
    QLineEdit *m_address;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

} // namespace qv::client
