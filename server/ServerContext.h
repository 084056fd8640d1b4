// What every client session shares: the configuration, the dataset table, the
// translators, the statement log and the list of sessions (to tell whether
// another client has an account set open).
#pragma once

#include "common/Paths.h"
#include "server/EventLog.h"
#include "server/LinkPrompt.h"
#include "server/Providers.h"
#include "server/ServerConfig.h"
#include "server/StatementLog.h"
#include "server/TranslatorPool.h"

#include <QList>

#include <functional>

namespace qv::server {

class Session;

struct ServerContext {
    explicit ServerContext(ServerConfig serverConfig)
        : config(std::move(serverConfig)), paths(config.programFolder), schema(schema::Schema::builtIn()),
          providers(schema), translators(schema)
    {
    }

    ServerConfig config;
    common::Paths paths;
    const schema::Schema &schema;
    Providers providers;
    TranslatorPool translators;
    StatementLog statementLog;
    EventLog events;
    LinkPrompt *linkPrompt = nullptr; // nullptr when headless
    QList<Session *> sessions;         // every connected client

    // Above 0 while a dialog on the server's screen waits for an answer: every
    // client's calls wait with it, and nothing is served from inside the
    // dialog's event loop.
    int modalDepth = 0;
    // Set by the server: serves what arrived while a dialog was open.
    std::function<void()> resumeClients;
};

// Holds every client's calls while it lives (see ServerContext::modalDepth).
class ModalPause {
public:
    explicit ModalPause(ServerContext &context) : m_context(context) { ++m_context.modalDepth; }
    ~ModalPause()
    {
        if (--m_context.modalDepth == 0 && m_context.resumeClients)
            m_context.resumeClients();
    }
    ModalPause(const ModalPause &) = delete;
    ModalPause &operator=(const ModalPause &) = delete;

private:
    ServerContext &m_context;
};

} // namespace qv::server
