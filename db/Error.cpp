#include "db/Error.h"

namespace qv::db {

QString phaseName(Phase phase)
{
    switch (phase) {
    case Phase::None: return QStringLiteral("none");
    case Phase::Open: return QStringLiteral("open");
    case Phase::Prepare: return QStringLiteral("prepare");
    case Phase::Bind: return QStringLiteral("bind");
    case Phase::Execute: return QStringLiteral("execute");
    case Phase::Fetch: return QStringLiteral("fetch");
    case Phase::Begin: return QStringLiteral("begin");
    case Phase::Commit: return QStringLiteral("commit");
    case Phase::Rollback: return QStringLiteral("rollback");
    }
    return QString();
}

QString Error::text() const
{
    if (!isSet())
        return QString();
    return phaseName(phase) + QStringLiteral(": ") + message;
}

} // namespace qv::db
