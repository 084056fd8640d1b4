// One connection of the client to the application server, bound to one remote
// object: the business module (`cn`, "ZurI.datas") or the report module
// (`CnBb`, "ZurI.DatasBb").
//
// Every call blocks until the server answers, as the client always has; while it
// waits the busy hook is on, so the window system can show a busy cursor (this
// library has no widgets; the GUI installs the hook). No call waits without a
// limit: a server that goes away answers at once with an error whose text says
// the connection was lost, and a server that stops answering runs into the
// call's time limit. The error comes back in the call's result; the window
// decides how to show it. After a loss every later call fails the same way
// until connectToServer() succeeds again.
#pragma once

#include "client/core/net/ServerAddress.h"

#include "protocol/Channel.h"

#include <functional>
#include <memory>

namespace qv::client {

class ServerConnection {
public:
    // Called with true when a call starts waiting and false when the last
    // waiting call returns (calls made from inside a hook nest). The hook must
    // not process events: the user could otherwise change the data a call is
    // saving while it waits.
    using BusyHook = std::function<void(bool busy)>;

    // Time limits in milliseconds.
    static constexpr int kDefaultConnectTimeout = 10'000;
    // Ordinary calls: long enough to wait behind another client's large report
    // on the single-threaded server, short enough that a server that vanished
    // without closing the connection is reported within two minutes.
    static constexpr int kDefaultCallTimeout = 120'000;
    // Backups and compactions of a large account set.
    static constexpr int kLongCallTimeout = 1'800'000;

    explicit ServerConnection(protocol::RemoteObject object);
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    protocol::RemoteObject object() const { return m_object; }
    QString objectName() const { return protocol::remoteObjectName(m_object); }

    const ServerAddress &address() const { return m_address; }
    void setAddress(const ServerAddress &address) { m_address = address; }
    void setClientName(const QString &name) { m_clientName = name; }
    void setConnectTimeout(int ms) { m_connectTimeout = ms; }
    int callTimeout() const { return m_callTimeout; }
    void setCallTimeout(int ms) { m_callTimeout = ms; }
    void setBusyHook(BusyHook hook) { m_busy = std::move(hook); }

    // Disconnects, then connects to address() and greets the server. False with
    // lastError() when the server cannot be reached or refuses the object.
    bool connectToServer();
    void disconnectFromServer();
    bool isConnected() const;
    // Why the last connect or call failed; empty after a success.
    const protocol::ErrorInfo &lastError() const { return m_lastError; }

    // Sends one call and waits for its result (timeoutMs < 0: callTimeout()).
    template <typename Args>
    protocol::Outcome<typename Args::Reply> request(const Args &args, int timeoutMs = -1)
    {
        protocol::Outcome<typename Args::Reply> outcome;
        if (!checkConnected(&outcome.error))
            return remember(std::move(outcome));
        BusyScope busy(*this);
        outcome = m_channel->request(m_object, args, timeoutMs < 0 ? m_callTimeout : timeoutMs);
        return remember(std::move(outcome));
    }

private:
    class BusyScope {
    public:
        explicit BusyScope(ServerConnection &connection);
        ~BusyScope();
        BusyScope(const BusyScope &) = delete;
        BusyScope &operator=(const BusyScope &) = delete;

    private:
        ServerConnection &m_connection;
    };

    bool checkConnected(protocol::ErrorInfo *error) const;
    template <typename Outcome>
    Outcome remember(Outcome outcome)
    {
        m_lastError = outcome.error;
        return outcome;
    }

    protocol::RemoteObject m_object;
    ServerAddress m_address;
    QString m_clientName;
    int m_connectTimeout = kDefaultConnectTimeout;
    int m_callTimeout = kDefaultCallTimeout;
    BusyHook m_busy;
    int m_busyDepth = 0;
    bool m_everConnected = false;
    std::unique_ptr<protocol::Channel> m_channel;
    protocol::ErrorInfo m_lastError;
};

} // namespace qv::client
