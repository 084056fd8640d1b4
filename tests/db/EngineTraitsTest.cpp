#include "db/EngineTraits.h"

#include <gtest/gtest.h>

namespace qv::db {
namespace {

TEST(EngineTraits, QuotingAndParameters)
{
    for (const Engine engine : {Engine::Sqlite, Engine::Postgres}) {
        const EngineTraits &t = EngineTraits::of(engine);
        EXPECT_EQ(t.quoteIdentifier(u"Inv_ItemList"), QStringLiteral("\"Inv_ItemList\""));
        EXPECT_EQ(t.quoteIdentifier(u"a\"b"), QStringLiteral("\"a\"\"b\""));
        EXPECT_EQ(&EngineTraits::of(engine), &t);
    }
    EXPECT_EQ(EngineTraits::of(Engine::Sqlite).parameter(3), QStringLiteral("?3"));
    EXPECT_EQ(EngineTraits::of(Engine::Postgres).parameter(12), QStringLiteral("$12"));
    const QDateTime when(QDate(2024, 1, 15), QTime(23, 59, 59));
    EXPECT_EQ(EngineTraits::of(Engine::Sqlite).dateLiteral(when),
              QStringLiteral("'2024-01-15 23:59:59'"));
    EXPECT_EQ(EngineTraits::of(Engine::Postgres).dateLiteral(when),
              QStringLiteral("TIMESTAMP '2024-01-15 23:59:59'"));
}

// The type names the traits hand out must map back to their own kinds.
TEST(EngineTraits, TypeNamesMapBackToTheirKinds)
{
    const ValueKind kinds[] = {ValueKind::Integer, ValueKind::Double, ValueKind::Text,
                               ValueKind::Blob,    ValueKind::Bool,   ValueKind::DateTime};
    for (const Engine engine : {Engine::Sqlite, Engine::Postgres}) {
        const EngineTraits &t = EngineTraits::of(engine);
        for (const ValueKind kind : kinds) {
            ASSERT_FALSE(t.typeName(kind).isEmpty());
            EXPECT_EQ(t.kindOfDeclaredType(t.typeName(kind)), kind)
                << t.name.toStdString() << " " << t.typeName(kind).toStdString();
        }
        EXPECT_EQ(t.kindOfDeclaredType(t.caseInsensitiveTextType), ValueKind::Text);
        EXPECT_EQ(t.kindOfDeclaredType(u""), ValueKind::Null);
    }
}

TEST(EngineTraits, DeclaredTypeNames)
{
    const struct {
        Engine engine;
        const char *declared;
        ValueKind kind;
    } cases[] = {
        {Engine::Sqlite, "int", ValueKind::Integer},
        {Engine::Sqlite, "BIGINT", ValueKind::Integer},
        {Engine::Sqlite, "SMALLINT", ValueKind::Integer},
        {Engine::Sqlite, "VARCHAR(50)", ValueKind::Text},
        {Engine::Sqlite, "nvarchar(10)", ValueKind::Text},
        {Engine::Sqlite, "MEMO", ValueKind::Text},
        {Engine::Sqlite, "DECIMAL(18,4)", ValueKind::Double},
        {Engine::Sqlite, "CURRENCY", ValueKind::Double},
        {Engine::Sqlite, "REAL", ValueKind::Double},
        {Engine::Sqlite, "BIT", ValueKind::Bool},
        {Engine::Sqlite, "YESNO", ValueKind::Bool},
        {Engine::Sqlite, "ORBIT", ValueKind::Null}, // BIT only as a word
        {Engine::Sqlite, "DATE", ValueKind::DateTime},
        {Engine::Sqlite, "TIMESTAMP", ValueKind::DateTime},
        {Engine::Sqlite, "IMAGE", ValueKind::Blob},
        {Engine::Postgres, "timestamp(0) without time zone", ValueKind::DateTime},
        {Engine::Postgres, "date", ValueKind::DateTime},
        {Engine::Postgres, "character varying(20)", ValueKind::Text},
        {Engine::Postgres, "character(4)", ValueKind::Text},
        {Engine::Postgres, "citext", ValueKind::Text},
        {Engine::Postgres, "numeric(18,4)", ValueKind::Double},
        {Engine::Postgres, "real", ValueKind::Double},
        {Engine::Postgres, "smallint", ValueKind::Integer},
        {Engine::Postgres, "bigint", ValueKind::Integer},
        {Engine::Postgres, "integer[]", ValueKind::Integer},
        {Engine::Postgres, "uuid", ValueKind::Text},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EngineTraits::of(c.engine).kindOfDeclaredType(QString::fromLatin1(c.declared)), c.kind)
            << c.declared;
    }
}

TEST(EngineTraits, StorageDiffersAsData)
{
    const EngineTraits &sqlite = EngineTraits::of(Engine::Sqlite);
    const EngineTraits &postgres = EngineTraits::of(Engine::Postgres);
    EXPECT_EQ(sqlite.booleans, BooleanStorage::Integer);
    EXPECT_EQ(sqlite.booleanLiteral(true), QStringLiteral("1"));
    EXPECT_EQ(sqlite.dates, DateStorage::CanonicalText);
    EXPECT_EQ(postgres.booleans, BooleanStorage::Native);
    EXPECT_EQ(postgres.booleanLiteral(false), QStringLiteral("false"));
    EXPECT_EQ(postgres.dates, DateStorage::Timestamp);
}

} // namespace
} // namespace qv::db
