#include "client/core/shell/SelfUpdate.h"

#include "client/core/data/SqlText.h"
#include "client/core/shell/ClientSession.h"
#include "client/core/shell/Product.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace qv::client {

namespace {

QList<qint64> numbersOf(const QString &text)
{
    QList<qint64> numbers;
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    auto match = digits.globalMatch(text);
    while (match.hasNext())
        numbers << match.next().captured().toLongLong();
    return numbers;
}

DataSet *registryChannel(ClientSession &session)
{
    return session.data().dataSet(u"AccountTemp");
}

} // namespace

int SelfUpdate::compareVersions(const QString &a, const QString &b)
{
    const QList<qint64> left = numbersOf(a);
    const QList<qint64> right = numbersOf(b);
    if (left.isEmpty() || right.isEmpty())
        return a.compare(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 x = i < left.size() ? left.at(i) : 0;
        const qint64 y = i < right.size() ? right.at(i) : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

QString SelfUpdate::newerVersionOnServer(ClientSession &session)
{
    DataSet *query = registryChannel(session);
    if (!query)
        return {};
    const QString sql = QStringLiteral("select sName, sVersion from VersionInfor where sName=") + quoted(productKey());
    if (!session.data().runSql(query, sql, true))
        return {};
    query->fetchAll();
    QString newest;
    for (int row = 0; row < query->recordCount(); ++row) {
        const QString version = query->textAt(row, *query->fieldByName(u"sVersion"));
        if (compareVersions(version, session.card().versionText) > 0
            && (newest.isEmpty() || compareVersions(version, newest) > 0))
            newest = version;
    }
    query->close();
    return newest;
}

bool SelfUpdate::check(ClientSession &session, QWidget *parent)
{
    if (newerVersionOnServer(session).isEmpty())
        return false;
    QMessageBox ask(QMessageBox::Question, QStringLiteral("版本升级"),
                    QStringLiteral("服务器上有新版本，您需要升级版本吗？"), QMessageBox::NoButton, parent);
    QPushButton *take = ask.addButton(QStringLiteral("升级"), QMessageBox::AcceptRole);
    ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != take)
        return false;
    QString error;
    if (!install(session, QCoreApplication::applicationFilePath(), parent, &error)) {
        QMessageBox::critical(parent, QStringLiteral("版本升级"), error);
        return false;
    }
    return true;
}

bool SelfUpdate::install(ClientSession &session, const QString &programFile, QWidget *parent, QString *error)
{
    DataSet *stored = session.data().dataSet(u"VersionInfor");
    const QString sql = QStringLiteral("select * from VersionInfor where sFileName = ") + quoted(storedClientFileName())
                        + QStringLiteral(" and sName = ") + quoted(productKey());
    if (!stored || !session.data().runSql(stored, sql, true) || stored->isEmpty()) {
        *error = session.data().lastError();
        return false;
    }
    stored->first();
    stored->fetchBlobs();
    const QByteArray program = stored->fieldByName(u"pict")->asBytes();
    stored->close();
    if (program.isEmpty()) {
        *error = QStringLiteral("服务器上的客户端程序是空的");
        return false;
    }

    // The new program is written beside the running one and then renamed over
    // it in one step: the running process keeps its old file until it ends.
    const QString fresh = programFile + QStringLiteral(".new");
    QSaveFile file(fresh);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QProgressDialog progress(QStringLiteral("正在下载新版本..."), QString(), 0,
                             int(program.size() / kUpdateBlockSize), parent);
    progress.setWindowModality(Qt::WindowModal);
    for (qsizetype offset = 0; offset < program.size(); offset += kUpdateBlockSize) {
        file.write(program.constData() + offset, std::min<qsizetype>(kUpdateBlockSize, program.size() - offset));
        progress.setValue(int(offset / kUpdateBlockSize) + 1);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    QFile::setPermissions(fresh, QFile::permissions(programFile) | QFile::ExeOwner | QFile::ReadOwner);
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(programFile).constData()) != 0) {
        *error = QStringLiteral("不能替换 %1").arg(programFile);
        QFile::remove(fresh);
        return false;
    }
    if (!QProcess::startDetached(programFile, {})) {
        *error = QStringLiteral("不能启动 %1").arg(programFile);
        return false;
    }
    return true;
}

bool SelfUpdate::isClientProgram(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.compare(QStringLiteral("QvClient"), Qt::CaseInsensitive) == 0
           || name.compare(storedClientFileName(), Qt::CaseInsensitive) == 0;
}

bool SelfUpdate::upload(ClientSession &session, const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    const QByteArray program = file.readAll();
    TData &data = session.data();
    if (DataSet *channel = registryChannel(session))
        data.runSql(channel, QStringLiteral("delete from VersionInfor where sName=") + quoted(productKey()), false);

    DataSet *stored = data.dataSet(u"VersionInfor");
    if (!stored || !data.runSql(stored, QStringLiteral("select * from VersionInfor  where sName = '111' "), true)) {
        *error = data.lastError();
        return false;
    }
    const bool ok = stored->append() && stored->fieldByName(u"sName")->setValue(productKey())
                    && stored->fieldByName(u"sVersion")->setValue(session.card().versionText)
                    && stored->fieldByName(u"sFileName")->setValue(storedClientFileName())
                    && stored->fieldByName(u"pict")->setValue(program) && stored->post()
                    && stored->applyUpdates(0) == 0;
    if (!ok)
        *error = stored->lastError().toString();
    stored->close();
    return ok;
}

void SelfUpdate::uploadWithDialog(ClientSession &session, QWidget *parent)
{
    QDir start(session.programFolder());
    start.cdUp();
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("上传版本"), start.path(),
                                                      QStringLiteral("QvClient (QvClient QvClient.exe);;* (*)"));
    if (path.isEmpty())
        return;
    if (!isClientProgram(path)) {
        QMessageBox::information(parent, QString(), QString::fromUtf8(kUploadOnlyClientMessage));
        return;
    }
    QString error;
    if (upload(session, path, &error)) {
        QMessageBox::information(parent, QString(), QStringLiteral("上传版本成功！"));
    } else {
        QMessageBox box(QMessageBox::Critical, QString(), QStringLiteral("上传版本失败！"), QMessageBox::Ok, parent);
        box.setDetailedText(error);
        box.exec();
    }
}

} // namespace qv::client
