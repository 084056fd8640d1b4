#include "EngineFixture.h"

#include <QCoreApplication>
#include <QRandomGenerator>

namespace qv::db::test {

std::string engineName(const ::testing::TestParamInfo<Engine> &info)
{
    return EngineTraits::of(info.param).name.toStdString();
}

void EngineTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    if (engine() != Engine::Postgres)
        return;
    m_conninfo = qEnvironmentVariable("QV_TEST_PG");
    if (m_conninfo.isEmpty())
        GTEST_SKIP() << "QV_TEST_PG is not set";
    Error error;
    m_admin = openConnection(ConnectionDescriptor::postgres(m_conninfo), &error);
    ASSERT_TRUE(m_admin) << error.text().toStdString();
    // Tests may run side by side on one server: each gets its own schema.
    m_schema = QStringLiteral("qv_test_%1_%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(QRandomGenerator::global()->generate());
    execOrFail(*m_admin, QStringLiteral("CREATE SCHEMA ") + m_schema);
}

void EngineTest::TearDown()
{
    if (m_admin && !m_schema.isEmpty())
        m_admin->exec(QStringLiteral("DROP SCHEMA ") + m_schema + QStringLiteral(" CASCADE"));
}

ConnectionDescriptor EngineTest::descriptor() const
{
    if (engine() == Engine::Sqlite)
        return ConnectionDescriptor::sqlite(m_dir.filePath(QStringLiteral("QvData.mdb")), true);
    return ConnectionDescriptor::postgres(m_conninfo);
}

ConnectionDescriptor EngineTest::unreachableDescriptor() const
{
    const QString missing = m_dir.filePath(QStringLiteral("no-such-folder"));
    if (engine() == Engine::Sqlite)
        return ConnectionDescriptor::sqlite(missing + QStringLiteral("/QvData.mdb"), true);
    return ConnectionDescriptor::postgres(QStringLiteral("host=%1 port=5432 user=postgres "
                                                         "dbname=postgres connect_timeout=2")
                                              .arg(missing));
}

std::unique_ptr<Connection> EngineTest::open()
{
    Error error;
    auto connection = openConnection(descriptor(), &error);
    EXPECT_TRUE(connection) << error.text().toStdString();
    if (connection && !m_schema.isEmpty())
        execOrFail(*connection, QStringLiteral("SET search_path TO ") + m_schema);
    return connection;
}

void EngineTest::execOrFail(Connection &connection, const QString &sql)
{
    EXPECT_TRUE(connection.exec(sql).has_value())
        << sql.toStdString() << ": " << connection.lastError().text().toStdString();
}

} // namespace qv::db::test
