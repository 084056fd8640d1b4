#include "server/SignalWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace qv::server {

namespace {

// Written by the signal handler, which can do nothing else safely. One pair
// per process: signals are process-wide.
int g_signalPipe[2] = {-1, -1};

void onSignalReceived(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

SignalWatcher::SignalWatcher(std::function<void(int)> stop, QObject *parent)
    : QObject(parent), m_stop(std::move(stop))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::onSignal);
    struct sigaction action = {};
    action.sa_handler = onSignalReceived;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

SignalWatcher::~SignalWatcher()
{
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    for (int &fd : g_signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalWatcher::onSignal()
{
    char byte = 0;
    if (::read(g_signalPipe[1], &byte, 1) == 1 && m_stop)
        m_stop(int(byte));
}

} // namespace qv::server
