#include "EngineFixture.h"

namespace qv::db::test {
namespace {

class CatalogueTest : public EngineTest {};

TEST_P(CatalogueTest, TableNamesInCatalogueOrderWithoutViewsOrSystemTables)
{
    auto db = open();
    ASSERT_TRUE(db);
    execOrFail(*db, QStringLiteral("CREATE TABLE zz_first (id INTEGER PRIMARY KEY, v INTEGER)"));
    execOrFail(*db, QStringLiteral("CREATE TABLE aa_second (id INTEGER)"));
    execOrFail(*db, QStringLiteral("CREATE INDEX zz_first_v ON zz_first (v)"));
    execOrFail(*db, QStringLiteral("CREATE VIEW mm_view AS SELECT id FROM zz_first"));
    execOrFail(*db, QStringLiteral("INSERT INTO zz_first VALUES (1, 2)"));
    execOrFail(*db, QStringLiteral("ANALYZE")); // SQLite keeps its statistics in tables
    const auto names = db->tableNames();
    ASSERT_TRUE(names) << db->lastError().text().toStdString();
    EXPECT_EQ(*names, (QStringList{QStringLiteral("zz_first"), QStringLiteral("aa_second")}));
}

TEST_P(CatalogueTest, ColumnsReportDeclaredTypesNullabilityAndKey)
{
    auto db = open();
    ASSERT_TRUE(db);
    const EngineTraits &t = traits();
    execOrFail(*db, QStringLiteral("CREATE TABLE cols (id %1 NOT NULL, code VARCHAR(20) NOT NULL, "
                                   "amount %2, flag %3, made %4, memo %5, pic %6, "
                                   "PRIMARY KEY (code, id))")
                        .arg(t.typeName(ValueKind::Integer), t.typeName(ValueKind::Double),
                             t.typeName(ValueKind::Bool), t.typeName(ValueKind::DateTime),
                             t.typeName(ValueKind::Text), t.typeName(ValueKind::Blob)));
    const auto columns = db->columns(QStringLiteral("COLS")); // names match without case
    ASSERT_TRUE(columns) << db->lastError().text().toStdString();

    const QStringList sqliteTypes = {QStringLiteral("INTEGER"), QStringLiteral("VARCHAR(20)"),
                                     QStringLiteral("DOUBLE"),  QStringLiteral("BOOLEAN"),
                                     QStringLiteral("DATETIME"), QStringLiteral("TEXT"),
                                     QStringLiteral("BLOB")};
    const QStringList postgresTypes = {
        QStringLiteral("integer"), QStringLiteral("character varying(20)"),
        QStringLiteral("double precision"), QStringLiteral("boolean"),
        QStringLiteral("timestamp(0) without time zone"), QStringLiteral("text"),
        QStringLiteral("bytea")};
    const struct {
        const char *name;
        ValueKind kind;
        bool notNull;
        int keyPosition;
    } expected[] = {
        {"id", ValueKind::Integer, true, 2},      {"code", ValueKind::Text, true, 1},
        {"amount", ValueKind::Double, false, 0},  {"flag", ValueKind::Bool, false, 0},
        {"made", ValueKind::DateTime, false, 0},  {"memo", ValueKind::Text, false, 0},
        {"pic", ValueKind::Blob, false, 0},
    };
    ASSERT_EQ(columns->size(), qsizetype(std::size(expected)));
    for (qsizetype i = 0; i < columns->size(); ++i) {
        const TableColumn &column = (*columns)[i];
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(column.name, QString::fromLatin1(expected[i].name));
        EXPECT_EQ(column.declaredType,
                  engine() == Engine::Sqlite ? sqliteTypes[i] : postgresTypes[i]);
        EXPECT_EQ(column.kind, expected[i].kind);
        EXPECT_EQ(column.notNull, expected[i].notNull);
        EXPECT_EQ(column.primaryKeyPosition, expected[i].keyPosition);
        EXPECT_EQ(t.kindOfDeclaredType(column.declaredType), expected[i].kind);
    }
}

TEST_P(CatalogueTest, QuotedNamesAreFoundAsWritten)
{
    auto db = open();
    ASSERT_TRUE(db);
    const QString name = QStringLiteral("Inv_ItemList");
    execOrFail(*db, QStringLiteral("CREATE TABLE %1 (%2 INTEGER)")
                        .arg(traits().quoteIdentifier(name), traits().quoteIdentifier(u"Flag")));
    const auto names = db->tableNames();
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, QStringList{name});
    const auto columns = db->columns(name);
    ASSERT_TRUE(columns) << db->lastError().text().toStdString();
    ASSERT_EQ(columns->size(), 1);
    EXPECT_EQ(columns->first().name, QStringLiteral("Flag"));
    EXPECT_FALSE(columns->first().inPrimaryKey());
}

QV_INSTANTIATE_FOR_ENGINES(CatalogueTest);

} // namespace
} // namespace qv::db::test
