// Runs a test against each engine: SQLite in a temporary folder, and PostgreSQL
// in a schema of its own on the server named by QV_TEST_PG (skipped when unset).
#pragma once

#include "db/ConnectionFactory.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace qv::db {

inline void PrintTo(Engine engine, std::ostream *os)
{
    *os << EngineTraits::of(engine).name.toStdString();
}

} // namespace qv::db

namespace qv::db::test {

class EngineTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;

    Engine engine() const { return GetParam(); }
    const EngineTraits &traits() const { return EngineTraits::of(GetParam()); }
    // The test database, created on first use for SQLite.
    ConnectionDescriptor descriptor() const;
    // A database that cannot be opened: a file in a missing folder, a server
    // socket folder that does not exist.
    ConnectionDescriptor unreachableDescriptor() const;
    // An open connection to the test database (fails the test otherwise).
    std::unique_ptr<Connection> open();
    // Runs statements that must succeed.
    void execOrFail(Connection &connection, const QString &sql);

    QTemporaryDir m_dir;
    QString m_conninfo;
    QString m_schema;
    std::unique_ptr<Connection> m_admin;
};

std::string engineName(const ::testing::TestParamInfo<Engine> &info);

} // namespace qv::db::test

#define QV_INSTANTIATE_FOR_ENGINES(Fixture)                                                     \
    INSTANTIATE_TEST_SUITE_P(Engines, Fixture,                                                  \
                             ::testing::Values(::qv::db::Engine::Sqlite,                        \
                                               ::qv::db::Engine::Postgres),                     \
                             ::qv::db::test::engineName)
