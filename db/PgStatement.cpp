#include "db/PgStatement.h"

#include "common/DayNumber.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace qv::db {

namespace {

// Type numbers of pg_type that never change.
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    Float4Oid = 700,
    Float8Oid = 701,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestampTzOid = 1184,
    NumericOid = 1700,
};

QString field(const PGresult *result, int code)
{
    const char *text = result ? PQresultErrorField(result, code) : nullptr;
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

QString oneLine(QString text)
{
    text = text.trimmed();
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

// "YYYY-MM-DD HH:MM:SS[.ffffff]"; invalid for infinity and dates BC.
QDateTime parseTimestamp(QStringView text)
{
    qsizetype dot = text.indexOf(QLatin1Char('.'));
    QDateTime value = common::parseDateText(dot < 0 ? text : text.left(dot));
    if (value.isValid() && dot >= 0) {
        const QStringView digits = text.mid(dot + 1);
        bool ok = false;
        const double fraction = QStringLiteral("0.%1").arg(digits).toDouble(&ok);
        if (!ok)
            return {};
        value = value.addMSecs(std::llround(fraction * 1000));
    }
    return value;
}

// "YYYY-MM-DD HH:MM:SS[.ffffff]+HH[:MM[:SS]]" in local time.
QDateTime parseTimestampWithZone(QStringView text)
{
    const qsizetype sign = std::max(text.lastIndexOf(QLatin1Char('+')),
                                    text.lastIndexOf(QLatin1Char('-')));
    if (sign <= 10)
        return {};
    const QStringList parts = text.mid(sign + 1).toString().split(QLatin1Char(':'));
    int offset = 0;
    int unit = 3600;
    for (const QString &part : parts) {
        bool ok = false;
        offset += part.toInt(&ok) * unit;
        if (!ok)
            return {};
        unit /= 60;
    }
    if (text[sign] == QLatin1Char('-'))
        offset = -offset;
    const QDateTime wallClock = parseTimestamp(text.left(sign));
    if (!wallClock.isValid())
        return {};
    return QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).addSecs(-offset).toLocalTime();
}

double parseDouble(const char *text, bool *ok)
{
    const QByteArray bytes(text);
    *ok = true;
    if (bytes == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (bytes == "Infinity")
        return std::numeric_limits<double>::infinity();
    if (bytes == "-Infinity")
        return -std::numeric_limits<double>::infinity();
    return bytes.toDouble(ok);
}

QByteArray doubleText(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Infinity" : "-Infinity";
    return QByteArray::number(value, 'g', 17);
}

} // namespace

namespace pg {

QString closedMessage()
{
    return QStringLiteral("the connection was closed");
}

bool succeeded(const PGresult *result)
{
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

Error resultError(PGconn *conn, const PGresult *result, Phase phase, const QString &sql,
                  int hiddenPrefix)
{
    QString message = field(result, PG_DIAG_MESSAGE_PRIMARY);
    if (message.isEmpty()) {
        message = result ? QString::fromUtf8(PQresultErrorMessage(result)) : QString();
        if (message.trimmed().isEmpty())
            message = QString::fromUtf8(PQerrorMessage(conn));
        message = oneLine(message);
    }
    if (message.isEmpty())
        message = QStringLiteral("the server gave no answer");
    if (const QString detail = field(result, PG_DIAG_MESSAGE_DETAIL); !detail.isEmpty())
        message += QStringLiteral(" (%1)").arg(oneLine(detail));
    bool hasPosition = false;
    const int position = field(result, PG_DIAG_STATEMENT_POSITION).toInt(&hasPosition);
    if (hasPosition && position > hiddenPrefix)
        message += QStringLiteral(" (at position %1)").arg(position - hiddenPrefix);
    if (phase == Phase::Execute && field(result, PG_DIAG_SQLSTATE).startsWith(QLatin1String("42")))
        phase = Phase::Prepare;
    return Error{phase, message, sql};
}

ValueKind kindOfType(Oid type)
{
    switch (type) {
    case BoolOid: return ValueKind::Bool;
    case ByteaOid: return ValueKind::Blob;
    case Int2Oid:
    case Int4Oid:
    case Int8Oid: return ValueKind::Integer;
    case Float4Oid:
    case Float8Oid:
    case NumericOid: return ValueKind::Double;
    case DateOid:
    case TimestampOid:
    case TimestampTzOid: return ValueKind::DateTime;
    default: return ValueKind::Text;
    }
}

QList<ColumnInfo> describeColumns(PgSession &session, const PGresult *result)
{
    const int count = PQnfields(result);
    // Names of types not seen before on this session, asked for in one round trip.
    QList<QPair<Oid, int>> missing;
    for (int i = 0; i < count; ++i) {
        const QPair<Oid, int> key(PQftype(result, i), PQfmod(result, i));
        if (!session.typeNames.contains(key) && !missing.contains(key))
            missing.append(key);
    }
    if (!missing.isEmpty()) {
        QStringList calls;
        for (const auto &key : missing)
            calls.append(QStringLiteral("format_type(%1::oid, %2)").arg(key.first).arg(key.second));
        const Result names(PQexec(session.conn, ("SELECT " + calls.join(QLatin1Char(','))).toUtf8()));
        if (PQresultStatus(names.get()) == PGRES_TUPLES_OK && PQntuples(names.get()) == 1) {
            for (int i = 0; i < missing.size(); ++i)
                session.typeNames.insert(missing[i], QString::fromUtf8(PQgetvalue(names.get(), 0, i)));
        }
    }
    QList<ColumnInfo> columns;
    columns.reserve(count);
    for (int i = 0; i < count; ++i) {
        const Oid type = PQftype(result, i);
        ColumnInfo column;
        column.name = QString::fromUtf8(PQfname(result, i));
        column.declaredType = session.typeNames.value({type, PQfmod(result, i)},
                                                      QStringLiteral("oid %1").arg(type));
        column.kind = kindOfType(type);
        columns.append(column);
    }
    return columns;
}

Value readValue(const PGresult *result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return Value();
    const char *text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    const QString asText = QString::fromUtf8(text, length);
    bool ok = false;
    switch (PQftype(result, column)) {
    case BoolOid:
        return text[0] == 't';
    case ByteaOid: {
        size_t size = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(text), &size);
        if (!bytes)
            return asText;
        const QByteArray blob(reinterpret_cast<const char *>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return blob;
    }
    case Int2Oid:
    case Int4Oid:
    case Int8Oid: {
        const qint64 number = QByteArray(text, length).toLongLong(&ok);
        return ok ? Value(number) : Value(asText);
    }
    case Float4Oid:
    case Float8Oid:
    case NumericOid: {
        const double number = parseDouble(text, &ok);
        return ok ? Value(number) : Value(asText);
    }
    case DateOid:
    case TimestampOid: {
        const QDateTime value = parseTimestamp(asText);
        return value.isValid() ? Value(value) : Value(asText);
    }
    case TimestampTzOid: {
        const QDateTime value = parseTimestampWithZone(asText);
        return value.isValid() ? Value(value) : Value(asText);
    }
    default:
        return asText;
    }
}

void readRows(const PGresult *result, QList<Row> &rows)
{
    const int rowCount = PQntuples(result);
    const int columnCount = PQnfields(result);
    rows.reserve(rows.size() + rowCount);
    for (int r = 0; r < rowCount; ++r) {
        Row row;
        row.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c)
            row.append(readValue(result, r, c));
        rows.append(std::move(row));
    }
}

qint64 rowsAffected(const PGresult *result)
{
    return QByteArray(PQcmdTuples(const_cast<PGresult *>(result))).toLongLong();
}

bool Parameters::set(const Row &values, QString *error)
{
    const size_t n = size_t(values.size());
    m_storage.assign(n, QByteArray());
    m_types.assign(n, 0);
    m_values.assign(n, nullptr);
    m_lengths.assign(n, 0);
    m_formats.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const Value &value = values[qsizetype(i)];
        QByteArray &text = m_storage[i];
        switch (kindOf(value).value_or(ValueKind::Null)) {
        case ValueKind::Null:
            continue;
        case ValueKind::Integer:
            text = QByteArray::number(value.toLongLong());
            break;
        case ValueKind::Double:
            text = doubleText(value.toDouble());
            break;
        case ValueKind::Bool:
            text = value.toBool() ? "true" : "false";
            break;
        case ValueKind::Text:
            text = value.toString().toUtf8();
            // Text parameters end at the first NUL; refuse rather than cut.
            if (text.contains('\0')) {
                *error = QStringLiteral("parameter %1: text with a NUL character").arg(i + 1);
                return false;
            }
            break;
        case ValueKind::Blob:
            text = value.toByteArray();
            m_types[i] = ByteaOid;
            m_formats[i] = 1;
            m_lengths[i] = int(text.size());
            break;
        case ValueKind::DateTime:
            text = (value.typeId() == QMetaType::QDate ? common::toDateText(value.toDate())
                                                       : common::toDateText(value.toDateTime()))
                       .toUtf8();
            if (text.isEmpty())
                continue; // an invalid date is stored as NULL
            break;
        }
        // A non-null pointer even for empty text or an empty blob: null means NULL.
        m_values[i] = text.isNull() ? "" : text.constData();
    }
    return true;
}

} // namespace pg

PgCursor::PgCursor(std::weak_ptr<PgSession> session, QString name, QList<ColumnInfo> columns,
                   const QString &sql)
    : m_session(std::move(session)), m_name(std::move(name))
{
    m_columns = std::move(columns);
    m_statement = sql;
}

PgCursor::~PgCursor()
{
    close();
}

bool PgCursor::fetch(int maxRows, QList<Row> &rows)
{
    if (m_atEnd)
        return true;
    const auto session = m_session.lock();
    if (!session || m_closed)
        return fail(Phase::Fetch, pg::closedMessage());
    const QString sql = maxRows < 1 ? QStringLiteral("FETCH ALL FROM %1").arg(m_name)
                                    : QStringLiteral("FETCH FORWARD %1 FROM %2").arg(maxRows).arg(m_name);
    const pg::Result result(PQexec(session->conn, sql.toUtf8().constData()));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
        m_error = pg::resultError(session->conn, result.get(), Phase::Fetch, m_statement);
        return false;
    }
    pg::readRows(result.get(), rows);
    if (maxRows < 1 || PQntuples(result.get()) < maxRows) {
        m_atEnd = true;
        close();
    }
    return true;
}

void PgCursor::close()
{
    if (m_closed)
        return;
    m_closed = true;
    // The cursor is gone anyway if its transaction was rolled back; a failed
    // CLOSE then changes nothing.
    if (const auto session = m_session.lock())
        PQclear(PQexec(session->conn, QStringLiteral("CLOSE %1").arg(m_name).toUtf8().constData()));
}

PgPreparedStatement::PgPreparedStatement(std::weak_ptr<PgSession> session, const QString &sql,
                                         int parameterCount)
    : Statement(sql), m_session(std::move(session)), m_parameterCount(parameterCount)
{
}

pg::Result PgPreparedStatement::run()
{
    const auto session = m_session.lock();
    if (!session) {
        fail(Phase::Execute, pg::closedMessage());
        return nullptr;
    }
    if (m_values.size() > m_parameterCount) {
        fail(Phase::Bind, QStringLiteral("%1 values bound to a statement with %2 parameters")
                              .arg(m_values.size())
                              .arg(m_parameterCount));
        return nullptr;
    }
    Row values = m_values;
    values.resize(m_parameterCount); // positions left unbound are NULL
    pg::Parameters parameters;
    QString error;
    if (!parameters.set(values, &error)) {
        fail(Phase::Bind, error);
        return nullptr;
    }
    pg::Result result(PQexecParams(session->conn, m_sql.toUtf8().constData(), parameters.count(),
                                   parameters.types(), parameters.values(), parameters.lengths(),
                                   parameters.formats(), 0));
    if (!pg::succeeded(result.get())) {
        m_error = pg::resultError(session->conn, result.get(), Phase::Execute, m_sql);
        return nullptr;
    }
    return result;
}

std::optional<qint64> PgPreparedStatement::execute()
{
    const pg::Result result = run();
    if (!result)
        return std::nullopt;
    return pg::rowsAffected(result.get());
}

std::optional<ResultSet> PgPreparedStatement::query()
{
    const pg::Result result = run();
    if (!result)
        return std::nullopt;
    const auto session = m_session.lock();
    ResultSet set;
    set.columns = pg::describeColumns(*session, result.get());
    pg::readRows(result.get(), set.rows);
    return set;
}

} // namespace qv::db
