// The business module's own methods: filters, the registry, binding the
// business connection to an account set, the server's clock and table list.
#include "server/Operations.h"
#include "server/TableList.h"

#include "common/IniFile.h"


namespace qv::server {

namespace {

const QString kArguments = QStringLiteral("arguments");

CallResult connectPostgres(Session &session)
{
    ServerContext &context = session.context();
    SessionDatabase &business = session.business();
    common::IniFile ini(context.config.iniPath());
    bool badPassword = false;
    LinkSettings settings = readLinkSettings(ini, &badPassword);
    if (badPassword)
        context.events.add(QStringLiteral("QvServer.ini 的 [Connection] Password 不是有效的加密文本，按空密码连接"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        business.describe(db::ConnectionDescriptor::postgres(settings.conninfo()), settings.conninfo());
        protocol::ErrorInfo error;
        if (business.open(&error)) {
            session.setAccountNo(QString());
            return success(protocol::IntegerReply{0});
        }
        business.forget();
        context.events.add(QStringLiteral("%1 无法连接数据库服务器（%2）：%3")
                               .arg(session.peer(), settings.description(), error.text));
        if (attempt > 0)
            break;
        if (!context.linkPrompt) {
            context.events.add(QStringLiteral("ConnectAct 返回 -1：没有桌面，不能打开数据库连接配置；"
                                              "请检查 QvServer.ini 的 [Connection] 一节"));
            break;
        }
        const auto chosen = context.linkPrompt->askForLink(settings, error.text);
        if (!chosen)
            break;
        settings = *chosen;
    }
    return success(protocol::IntegerReply{-1});
}

} // namespace

CallResult setFilter(Session &session, RemoteObject object, const protocol::SetFilterArgs &args)
{
    if (args.filter.size() < 2)
        return failure(QStringLiteral("SetFilter 需要两个元素：组件名和过滤条件"), kArguments);
    const Provider *provider = session.context().providers.findComponent(object, args.filter[0]);
    if (!provider) {
        return failure(QStringLiteral("%1 中没有组件 %2").arg(protocol::remoteObjectName(object), args.filter[0]),
                       kArguments);
    }
    session.setFilter(*provider, args.filter[1]);
    return success(protocol::EmptyReply{});
}

CallResult getAccounts(Session &session, RemoteObject, const protocol::GetAccountsArgs &)
{
    // Any failure reads as an empty registry.
    protocol::ErrorInfo error;
    const auto rows = session.registry().isDescribed()
                          ? session.registry().run(QStringLiteral("select * from Act_QVSys"), &error)
                          : std::nullopt;
    return success(protocol::IntegerReply{rows && !rows->rows.isEmpty() ? 0 : -1});
}

CallResult connectAct(Session &session, RemoteObject, const protocol::ConnectActArgs &args)
{
    ServerContext &context = session.context();
    SessionDatabase &business = session.business();
    // Once the business connection has opened it keeps its database: a second
    // ConnectAct never moves a client to another account set.
    if (business.isOpen())
        return success(protocol::IntegerReply{0});
    if (args.dataBaseType != 0 || context.config.databaseMode == DatabaseMode::Postgres)
        return connectPostgres(session);
    if (!common::isValidAccountFolder(args.dataBaseName)) {
        context.events.add(QStringLiteral("%1 ConnectAct：帐套编码“%2”不能用作文件夹名")
                               .arg(session.peer(), args.dataBaseName));
        return success(protocol::IntegerReply{-1});
    }
    // The file is not checked here: a missing account set shows when the
    // connection first opens.
    const QString path = context.paths.accountDatabase(args.dataBaseName);
    business.describe(db::ConnectionDescriptor::sqlite(path), databaseKey(path));
    session.setAccountNo(args.dataBaseName);
    return success(protocol::IntegerReply{0});
}

CallResult getServerDate(Session &, RemoteObject, const protocol::GetServerDateArgs &)
{
    return success(protocol::TextReply{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd"))});
}

CallResult getServerDateTime(Session &, RemoteObject, const protocol::GetServerDateTimeArgs &)
{
    return success(protocol::TextReply{QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
}

CallResult getTableNames(Session &session, RemoteObject, const protocol::GetTableNamesArgs &)
{
    protocol::ErrorInfo error;
    const auto names = businessTables(session, &error);
    if (!names)
        return failure(error);
    QStringList kept;
    for (const QString &name : *names) {
        if (!name.contains(QLatin1String("MSys")) && !name.contains(QLatin1String("rpt_")))
            kept.append(name);
    }
    return success(protocol::TextReply{kept.join(QLatin1Char('|'))});
}

} // namespace qv::server
