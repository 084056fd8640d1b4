// The wait message ("数据正在处理，请稍等 ") shown while a long server call
// runs: ShowWait creates it on first use, puts the text in it and paints it at
// once; HideWait frees it.
#pragma once

#include <QPointer>
#include <QString>

class QWidget;
class QLabel;

namespace qv::client {

class WaitMessage {
public:
    explicit WaitMessage(QWidget *parent = nullptr) : m_parent(parent) {}
    ~WaitMessage();
    WaitMessage(const WaitMessage &) = delete;
    WaitMessage &operator=(const WaitMessage &) = delete;

    void ShowWait(const QString &text);
    void HideWait();
    bool isShown() const { return m_window; }
    QWidget *window() const { return m_window; }

private:
    QWidget *m_parent;
    QPointer<QWidget> m_window;
    QPointer<QLabel> m_label;
};

} // namespace qv::client
