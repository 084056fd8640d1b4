#include "common/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace qv::common {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

constexpr QStringView databaseFileName = u"QvData.mdb";

} // namespace

QString applicationFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString joinPath(QStringView folder, QStringView relative)
{
    QString rel = relative.toString();
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (!rel.isEmpty() && rel.front() == QLatin1Char('/'))
        rel.remove(0, 1);
    QString base = folder.toString();
    while (base.size() > 1 && isSeparator(base.back()))
        base.chop(1);
    if (base.isEmpty())
        return rel;
    if (rel.isEmpty())
        return base;
    if (base == QLatin1String("/"))
        return base + rel;
    return base + QLatin1Char('/') + rel;
}

bool isValidAccountFolder(QStringView accountNo)
{
    if (accountNo.trimmed().isEmpty() || accountNo == QLatin1String(".")
        || accountNo == QLatin1String(".."))
        return false;
    for (const QChar c : accountNo) {
        if (isSeparator(c) || c == QChar(0) || c == QLatin1Char(':'))
            return false;
    }
    return true;
}

Paths::Paths() : m_programFolder(applicationFolder()) {}

Paths::Paths(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString Paths::dataFolder() const
{
    return file(u"data");
}

QString Paths::registryDatabase() const
{
    return file(u"data/QvSys.mdb");
}

QString Paths::templateDatabase() const
{
    return file(u"data/Sample/QvData.mdb");
}

QString Paths::accountFolder(QStringView accountNo) const
{
    if (!isValidAccountFolder(accountNo))
        return {};
    return joinPath(dataFolder(), accountNo);
}

QString Paths::accountDatabase(QStringView accountNo) const
{
    const QString folder = accountFolder(accountNo);
    return folder.isEmpty() ? QString() : joinPath(folder, databaseFileName);
}

} // namespace qv::common
