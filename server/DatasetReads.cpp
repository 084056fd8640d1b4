// Reading datasets: open a cursor on the dataset's statement (or the client's),
// with the session's filter applied, and hand out its rows in packets; blob and
// memo columns on demand; statements without rows.
#include "server/DialectText.h"
#include "server/FilterStatement.h"
#include "server/Operations.h"

namespace qv::server {

namespace {

const QString kArguments = QStringLiteral("arguments");

CallResult parametersRefused()
{
    return failure(QStringLiteral("语句参数不受支持：请把值写在语句中"), kArguments);
}

QList<sql::RunColumn> runColumns(const sql::TranslateResult &translation)
{
    QList<sql::RunColumn> columns;
    for (const sql::ResultColumn &c : translation.columns)
        columns.append({c.name, c.type, c.originTable, c.originColumn});
    return columns;
}

protocol::Row wireRow(db::Row &&row, const OpenCursor &cursor)
{
    if (!cursor.includeBlobs) {
        for (qsizetype i = 0; i < row.size() && i < cursor.fields.size(); ++i) {
            if (cursor.fields[i].isLarge())
                row[i] = protocol::notFetched();
        }
    }
    return std::move(row);
}

// Reads up to `count` rows (all when negative), one more held back so that the
// end is known exactly. False with *error when the database fails.
bool readPacket(OpenCursor &cursor, int count, QList<protocol::Row> &rows, bool &endOfData,
                protocol::ErrorInfo *error)
{
    QList<db::Row> read;
    if (cursor.pending) {
        read.append(std::move(*cursor.pending));
        cursor.pending.reset();
    }
    sql::RunError runError;
    if (count < 0) {
        if (!cursor.cursor->fetch(0, read, &runError)) {
            *error = toErrorInfo(runError);
            return false;
        }
        endOfData = true;
    } else {
        const qsizetype wanted = qsizetype(count) + 1 - read.size();
        if (wanted > 0 && !cursor.cursor->fetch(int(wanted), read, &runError)) {
            *error = toErrorInfo(runError);
            return false;
        }
        endOfData = read.size() <= count;
        if (!endOfData)
            cursor.pending = read.takeLast();
    }
    rows.reserve(read.size());
    for (db::Row &row : read)
        rows.append(wireRow(std::move(row), cursor));
    return true;
}

// Opens the statement with the session's filter of the dataset, if any. The
// fields come from the statement itself, so the roles of its columns survive
// the derived table the filter puts around it.
std::unique_ptr<sql::RunCursor> openFiltered(SessionDatabase &database, const QString &statement,
                                             const QString &filter, QList<sql::RunColumn> &columns,
                                             protocol::ErrorInfo *error)
{
    // The guard sees the statement as the client sent it, before anything else.
    if (StatementLog::isRefused(statement) && !database.admit(statement, error))
        return nullptr;
    const auto own = database.translate(statement, error);
    if (!own)
        return nullptr;
    if (!own->returnsRows()) {
        *error = protocol::ErrorInfo(QStringLiteral("带过滤条件的数据集只能打开查询语句"), kArguments);
        return nullptr;
    }
    columns = runColumns(*own);
    protocol::ErrorInfo firstError;
    for (const QString &candidate : filteredStatements(statement, filter)) {
        protocol::ErrorInfo candidateError;
        if (database.translate(candidate, &candidateError))
            return database.openCursor(candidate, error);
        if (firstError.isEmpty())
            firstError = candidateError;
    }
    *error = firstError;
    error->text = QStringLiteral("过滤条件无效：%1").arg(error->text);
    return nullptr;
}

} // namespace

CallResult getProviderNames(Session &session, RemoteObject object, const protocol::GetProviderNamesArgs &)
{
    return success(protocol::NamesReply{session.context().providers.names(object)});
}

CallResult getParams(Session &session, RemoteObject object, const protocol::GetParamsArgs &args)
{
    CallResult failed;
    if (!findProvider(session, object, args.dataset, &failed))
        return failed;
    // The datasets' statements take no parameters.
    return success(protocol::GetParamsReply{});
}

CallResult openDataset(Session &session, RemoteObject object, const protocol::OpenArgs &args)
{
    CallResult failed;
    const Provider *provider = findProvider(session, object, args.dataset, &failed);
    if (!provider)
        return failed;
    if (!args.params.isEmpty())
        return parametersRefused();
    if (args.packetSize < -1)
        return failure(QStringLiteral("packetSize %1 无效").arg(args.packetSize), kArguments);
    const QString statement = args.statement ? *args.statement : session.currentStatement(*provider);
    if (statement.trimmed().isEmpty()) {
        return failure(QStringLiteral("数据集 %1 没有自己的语句：请在打开时给出语句").arg(provider->name()),
                       kArguments);
    }
    if (args.statement)
        session.setCurrentStatement(*provider, statement);
    session.closeCursorOf(*provider);

    SessionDatabase &database = session.databaseOf(*provider);
    protocol::ErrorInfo error;
    const QString filter = session.filter(*provider);
    QList<sql::RunColumn> columns;
    std::unique_ptr<sql::RunCursor> cursor = filter.isEmpty()
                                                 ? database.openCursor(statement, &error)
                                                 : openFiltered(database, statement, filter, columns, &error);
    if (!cursor)
        return failure(error);
    if (columns.size() != cursor->columns().size())
        columns = cursor->columns();

    auto open = std::make_unique<OpenCursor>();
    open->provider = provider;
    open->cursor = std::move(cursor);
    open->fields = describeFields(columns, provider, session.context().schema);
    open->includeBlobs = args.includeBlobs;

    protocol::OpenReply reply;
    reply.fields = fieldInfos(open->fields);
    if (!readPacket(*open, args.packetSize, reply.rows, reply.endOfData, &error))
        return failure(error);
    if (!reply.endOfData)
        reply.cursor = session.addCursor(std::move(open));
    return success(reply);
}

CallResult fetchRows(Session &session, RemoteObject object, const protocol::FetchArgs &args)
{
    OpenCursor *cursor = session.cursor(args.cursor);
    if (!cursor || cursor->provider->module != object)
        return failure(QStringLiteral("游标 %1 不存在或已关闭").arg(args.cursor), kArguments);
    protocol::FetchReply reply;
    protocol::ErrorInfo error;
    if (!readPacket(*cursor, args.count, reply.rows, reply.endOfData, &error)) {
        session.closeCursor(args.cursor);
        return failure(error);
    }
    if (reply.endOfData)
        session.closeCursor(args.cursor);
    return success(reply);
}

CallResult closeCursor(Session &session, RemoteObject object, const protocol::CloseCursorArgs &args)
{
    OpenCursor *cursor = session.cursor(args.cursor);
    if (cursor && cursor->provider->module == object)
        session.closeCursor(args.cursor);
    return success(protocol::EmptyReply{});
}

CallResult fetchBlobs(Session &session, RemoteObject object, const protocol::FetchBlobsArgs &args)
{
    CallResult failed;
    const Provider *provider = findProvider(session, object, args.dataset, &failed);
    if (!provider)
        return failed;
    if (args.keyFields.isEmpty() || args.keyFields.size() != args.keyValues.size())
        return failure(QStringLiteral("FetchBlobs 需要与关键字段同样多的值"), kArguments);
    const QString statement = withoutTrailingSemicolons(session.currentStatement(*provider));
    if (statement.isEmpty())
        return failure(QStringLiteral("数据集 %1 没有语句").arg(provider->name()), kArguments);

    SessionDatabase &database = session.databaseOf(*provider);
    protocol::ErrorInfo error;
    const auto translation = database.translate(statement, &error);
    if (!translation)
        return failure(error);
    const QList<sql::RunColumn> columns = runColumns(*translation);
    const QList<DatasetField> fields = describeFields(columns, provider, session.context().schema);

    QStringList conditions;
    for (qsizetype k = 0; k < args.keyFields.size(); ++k) {
        qsizetype index = -1;
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (fields[i].info.name.compare(args.keyFields[k], Qt::CaseInsensitive) == 0)
                index = i;
        }
        if (index < 0)
            return failure(QStringLiteral("数据集 %1 没有字段 %2").arg(provider->name(), args.keyFields[k]), kArguments);
        const QString column = QStringLiteral("qv_b.") + bracketName(columns[index].name);
        const QVariant &value = args.keyValues[k];
        if (protocol::isNullValue(value)) {
            conditions << column + QStringLiteral(" is null");
            continue;
        }
        const auto literal = dialectLiteral(value);
        if (!literal)
            return failure(QStringLiteral("字段 %1 的值不能用来查找记录").arg(args.keyFields[k]), kArguments);
        conditions << column + QStringLiteral(" = ") + *literal;
    }
    const QString lookup = QStringLiteral("select * from (%1) as qv_b where %2")
                               .arg(statement, conditions.join(QStringLiteral(" and ")));
    const auto result = database.run(lookup, &error);
    if (!result)
        return failure(error);
    if (result->rows.isEmpty())
        return failure(QStringLiteral("数据集 %1 中找不到这条记录").arg(provider->name()), QStringLiteral("database"));
    protocol::FetchBlobsReply reply;
    const db::Row &row = result->rows.first();
    for (qsizetype i = 0; i < fields.size() && i < row.size(); ++i) {
        if (fields[i].isLarge()) {
            reply.fields << fields[i].info.name;
            reply.values << row[i];
        }
    }
    return success(reply);
}

CallResult execute(Session &session, RemoteObject object, const protocol::ExecuteArgs &args)
{
    SessionDatabase *database = &session.business();
    if (args.dataset) {
        CallResult failed;
        const Provider *provider = findProvider(session, object, *args.dataset, &failed);
        if (!provider)
            return failed;
        database = &session.databaseOf(*provider);
    }
    if (!args.params.isEmpty())
        return parametersRefused();
    protocol::ErrorInfo error;
    qint64 affected = -1;
    const auto result = database->run(args.statement, &error, &affected);
    if (!result)
        return failure(error);
    return success(protocol::ExecuteReply{result->columns.isEmpty() ? affected : -1});
}

} // namespace qv::server
