// What went wrong in a database call: the phase it failed in, the engine's own
// message and the statement involved. Calls report errors through their result
// and keep the last one for the caller to read; nothing here throws.
#pragma once

#include <QString>

namespace qv::db {

enum class Phase {
    None,
    Open,
    Prepare,  // the engine refused the statement text (syntax, unknown table or column)
    Bind,
    Execute,
    Fetch,
    Begin,
    Commit,
    Rollback,
};

QString phaseName(Phase phase);

struct Error {
    Phase phase = Phase::None;
    QString message;   // the engine's message, with its position when it gives one
    QString statement; // the statement that failed, when there is one

    bool isSet() const { return phase != Phase::None; }
    // "execute: UNIQUE constraint failed: T.ID"
    QString text() const;
};

} // namespace qv::db
