// The server's window (TfrmMains): the statement log, newest first, and a
// second area for other messages, shown or hidden with "其他消息". It starts
// hidden; the tray icon's menu ends the program.
#pragma once

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;

namespace qv::server {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    void setLogText(const QString &text);
    void appendMessage(const QString &line);

signals:
    void clearLogRequested();
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setStaysOnTop(bool onTop);

    QPlainTextEdit *m_log = nullptr;
    QPlainTextEdit *m_messages = nullptr;
    QCheckBox *m_onTop = nullptr;
};

} // namespace qv::server
