#include "schema/Schema.h"

#include <gtest/gtest.h>

using namespace qv::schema;

namespace {

Schema parseOk(const char *text)
{
    Schema s;
    QString error;
    EXPECT_TRUE(Schema::parse(QString::fromUtf8(text), s, &error)) << qPrintable(error);
    return s;
}

} // namespace

TEST(SchemaParser, ColumnSetsAreExpandedNarrowedAndOverridden)
{
    const Schema s = parseOk(R"(
columns Head
  ID integer
  DJBH text(12)
  AuditName text(50)
  JSR text(20) fixed
  index DJBH unique
  index AuditName

table TLZB key ID
  use Head except AuditName
  JSR text(8)
  uFlag integer locate
)");
    const Table *t = s.table(u"tlzb");
    ASSERT_NE(t, nullptr);
    QStringList names;
    for (const Column &c : t->columns)
        names << c.name;
    // The replaced column keeps its place; the excluded one and its index are gone.
    EXPECT_EQ(names, (QStringList{"ID", "DJBH", "JSR", "uFlag"}));
    EXPECT_EQ(t->column(u"jsr")->size, 8);
    EXPECT_FALSE(t->column(u"JSR")->fixedLength);
    ASSERT_EQ(t->indexes.size(), 1);
    EXPECT_TRUE(t->indexes[0].unique);
    EXPECT_EQ(t->column(u"ID")->role, ColumnRole::RowKey);
    EXPECT_EQ(t->column(u"uFlag")->role, ColumnRole::Locating);
    EXPECT_EQ(t->column(u"DJBH")->role, ColumnRole::UpdateOnly);
    EXPECT_TRUE(t->primaryKey);
}

TEST(SchemaParser, DatasetOptionsAndMultiLineStatements)
{
    const Schema s = parseOk(R"(
table AppLog nopk
  uName text(20) locate
table Act_QVSys registry key AccountNo nopk
  AccountNo text(50)
dataset pAppLog base applog rule keyonly
  select * from AppLog
  order by uName
dataset dspAccounts base Act_QVSys registry component Accounts
  select * from Act_QVSys
dataset pKhXsHz report
)");
    const Dataset *log = s.dataset(u"PAPPLOG");
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->statement, "select * from AppLog order by uName");
    EXPECT_EQ(log->baseTable, "AppLog"); // canonical spelling
    EXPECT_EQ(log->rule, UpdateRule::KeyOnly);
    EXPECT_EQ(log->component, "AppLog");
    EXPECT_EQ(s.dataset(u"dspAccounts")->connection, Connection::Registry);
    EXPECT_EQ(s.dataset(u"dspAccounts")->component, "Accounts");
    EXPECT_EQ(s.dataset(u"pKhXsHz")->module, Module::Report);
    EXPECT_TRUE(s.dataset(u"pKhXsHz")->statement.isEmpty());
    EXPECT_FALSE(s.table(u"Act_QVSys")->primaryKey);
    EXPECT_EQ(s.tables(Database::Registry).size(), 1);
}

TEST(SchemaParser, ErrorsNameTheLine)
{
    struct Case {
        const char *text;
        const char *message;
    };
    const Case cases[] = {
        {"table T key ID\n  ID integr\n", "line 2: unknown type \"integr\""},
        {"table T key ID\n  ID integer\n  BH text\n", "line 3: text column BH needs a size"},
        {"table T key XX\n  ID integer\n", "line 1: table T: key column XX does not exist"},
        {"table T\n  use Nope\n", "line 2: unknown column set \"Nope\""},
        {"columns S\n  A integer\ntable T\n  use S except B\n", "line 4: column set S has no column B"},
        {"table T\n  ID integer shiny\n", "line 2: unknown column flag \"shiny\""},
        {"table T\n  ID integer fixed\n", "line 2: only text columns have a fixed length"},
        {"table T\n  ID integer\ntable t\n  ID integer\n", "line 3: table t defined twice"},
        {"dataset pX base Missing\n  select 1\n", "line 1: dataset pX: base table Missing does not exist"},
        {"  ID integer\n", "line 1: indented line outside a table"},
        {"view V\n", "line 1: unknown keyword \"view\""},
    };
    for (const Case &c : cases) {
        Schema s;
        QString error;
        EXPECT_FALSE(Schema::parse(QString::fromUtf8(c.text), s, &error)) << c.text;
        EXPECT_EQ(error, QString::fromUtf8(c.message)) << c.text;
    }
}

// The built-in model: every dataset of both modules, and the roles the update
// rules depend on.
TEST(BuiltInSchema, PublishesEveryDatasetOnAnExistingBaseTable)
{
    const Schema &s = Schema::builtIn();
    EXPECT_EQ(s.datasets(Module::Business).size(), 166);
    EXPECT_EQ(s.datasets(Module::Report).size(), 54);
    for (const Dataset &d : s.datasets()) {
        if (!d.statement.isEmpty()) {
            EXPECT_FALSE(d.baseTable.isEmpty()) << qPrintable(d.name);
        }
        if (d.module == Module::Report) {
            EXPECT_TRUE(d.statement.isEmpty()) << qPrintable(d.name);
        }
    }
    EXPECT_EQ(s.dataset(u"pAppUser")->rule, UpdateRule::Changed);
    EXPECT_EQ(s.dataset(u"pAppLog")->rule, UpdateRule::KeyOnly);
    EXPECT_EQ(s.dataset(u"pHp")->component, "Hp");
}

TEST(BuiltInSchema, RolesThatFindRowsAgain)
{
    const Schema &s = Schema::builtIn();
    struct Case {
        const char16_t *table;
        QStringList key;
        QStringList locating;
    };
    const QList<Case> cases = {
        {u"CGSH", {"RECID"}, {"F1", "F2"}},
        {u"LL", {"RECID"}, {}},
        {u"CGDD", {"ZBID", "HH"}, {}},
        {u"CGFKZB", {"ID"}, {"SYJY"}},
        {u"XSKDZB", {"ID"}, {"uFlag"}},
        {u"HPSJ", {"SJZLID", "HPID"}, {}},
        {u"Gz_Month", {"ZBID", "YGID"}, {}},
        {u"Rs_JC", {"ID"}, {"F_empID", "F_code", "F_name", "F_Xm", "F_Lx", "F_CXdate", "F_Memo1",
                             "F_PZemp", "F_Memo2", "F_Memo3"}},
    };
    for (const Case &c : cases) {
        const Table *t = s.table(c.table);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->rowKey, c.key) << qPrintable(t->name);
        QStringList locating;
        for (const Column &col : t->columns) {
            if (col.role == ColumnRole::Locating)
                locating << col.name;
        }
        EXPECT_EQ(locating, c.locating) << qPrintable(t->name);
    }
    // Balances are kept by statements, never through the datasets.
    for (const char16_t *name : {u"GYS", u"KH", u"ZH"})
        EXPECT_EQ(s.table(name)->column(u"QMJE")->role, ColumnRole::ReadOnly);
    EXPECT_EQ(s.table(u"Inv_ItemList")->column(u"ID")->type, ColumnType::AutoNumber);
    EXPECT_TRUE(s.table(u"TLZB")->column(u"AuditName") == nullptr);
    EXPECT_EQ(s.table(u"CGSQ")->column(u"refSL")->type, ColumnType::Text);
}
