// Asks the person at the server's screen for PostgreSQL link settings when the
// database of QvServer.ini cannot be reached. The desktop shell provides one;
// a headless server has none, and ConnectAct then fails with the reason in the
// log.
#pragma once

#include "server/LinkSettings.h"

#include <optional>

namespace qv::server {

class LinkPrompt {
public:
    virtual ~LinkPrompt() = default;

    // Called with the settings that failed and the engine's error. Returns the
    // settings to use (already saved into QvServer.ini), or nullopt when the
    // person declined or cancelled.
    virtual std::optional<LinkSettings> askForLink(const LinkSettings &failed, const QString &error) = 0;
};

} // namespace qv::server
