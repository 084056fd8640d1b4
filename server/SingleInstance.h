// One running server per program folder: a lock file "QvServer.lock" there
// holds the owner's process id. A newer start asks the older copy to end
// (SIGTERM), waits for it a few seconds, then ends it by force, and takes the
// lock. A lock left by a copy that died is taken over at once.
#pragma once

#include <QLockFile>
#include <QString>

#include <functional>

namespace qv::server {

class SingleInstance {
public:
    explicit SingleInstance(const QString &programFolder);

    // False with *error when the lock cannot be had. `note` hears what was done
    // to an older copy.
    bool acquire(QString *error, const std::function<void(const QString &)> &note = {});

    QString lockPath() const { return m_path; }

private:
    QString m_path;
    QLockFile m_lock;
};

} // namespace qv::server
