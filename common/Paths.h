// Where the server's files live: everything is relative to the program folder
// (the folder of the running program, as in an installation), which tests and
// tools may replace by a folder of their own.
//
//   <program folder>/data/QvSys.mdb                account-set registry
//   <program folder>/data/<AccountNo>/QvData.mdb   one account set
//   <program folder>/data/Sample/QvData.mdb        template of a new account set
#pragma once

#include <QString>
#include <QStringView>

namespace qv::common {

// The folder of the running program when a QCoreApplication exists, otherwise the
// current folder. No trailing separator.
QString applicationFolder();

// Joins a relative path to a folder. Backslashes in the relative part (paths as
// the Windows programs wrote them, "data\Sample\QvData.mdb") become '/', and
// doubled separators at the joint are avoided.
QString joinPath(QStringView folder, QStringView relative);

// An account-set code usable as a folder name: not empty, not "." or "..", and
// without separators, so a code can never name a file outside data/.
bool isValidAccountFolder(QStringView accountNo);

class Paths {
public:
    // The running program's folder.
    Paths();
    // An explicit program folder (tests, tools working on another installation).
    explicit Paths(QString programFolder);

    const QString &programFolder() const { return m_programFolder; }
    QString file(QStringView relative) const { return joinPath(m_programFolder, relative); }

    QString dataFolder() const;
    QString registryDatabase() const;
    QString templateDatabase() const;
    QString accountFolder(QStringView accountNo) const;
    // Empty when the code is not a valid folder name (isValidAccountFolder).
    QString accountDatabase(QStringView accountNo) const;

private:
    QString m_programFolder;
};

} // namespace qv::common
