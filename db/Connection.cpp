#include "db/Connection.h"

namespace qv::db {

Connection::~Connection() = default;

bool Connection::fail(Phase phase, const QString &message, const QString &statement)
{
    m_error = Error{phase, message, statement};
    return false;
}

std::optional<Value> Connection::queryValue(const QString &sql)
{
    const auto result = query(sql);
    if (!result)
        return std::nullopt;
    return result->value(0, 0);
}

bool Connection::beginTransaction()
{
    if (!isOpen())
        return fail(Phase::Begin, QStringLiteral("the connection is not open"));
    if (inTransaction())
        return fail(Phase::Begin, QStringLiteral("a transaction is already active"));
    return runTransactionStatement(Phase::Begin, traits().beginStatement);
}

bool Connection::commit()
{
    if (!isOpen() || !inTransaction())
        return fail(Phase::Commit, QStringLiteral("no transaction is active"));
    return runTransactionStatement(Phase::Commit, QStringLiteral("COMMIT"));
}

bool Connection::rollback()
{
    if (!isOpen() || !inTransaction())
        return true;
    return runTransactionStatement(Phase::Rollback, QStringLiteral("ROLLBACK"));
}

TransactionGuard::TransactionGuard(Connection &connection)
    : m_connection(connection), m_active(connection.beginTransaction())
{
}

TransactionGuard::~TransactionGuard()
{
    if (m_active)
        m_connection.rollback();
}

bool TransactionGuard::commit()
{
    if (!m_active)
        return false;
    if (!m_connection.commit()) {
        // The engine may already have ended the transaction; the destructor's
        // rollback then has nothing left to undo.
        m_active = m_connection.inTransaction();
        return false;
    }
    m_active = false;
    return true;
}

bool TransactionGuard::rollback()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_connection.rollback();
}

} // namespace qv::db
