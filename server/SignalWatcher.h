// SIGTERM and SIGINT end the server cleanly: the signal handler only writes to
// a socket pair, and the event loop turns that into a call of `stop`.
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace qv::server {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(std::function<void(int signal)> stop, QObject *parent = nullptr);
    ~SignalWatcher() override;

private:
    void onSignal();

    std::function<void(int)> m_stop;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace qv::server
