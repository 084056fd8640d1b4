#include "EngineFixture.h"

#include <QDateTime>
#include <QPointF>

#include <cmath>
#include <limits>

namespace qv::db::test {
namespace {

class ValueRoundTrip : public EngineTest {
protected:
    void createTable(Connection &db)
    {
        const EngineTraits &t = traits();
        execOrFail(db, QStringLiteral("CREATE TABLE vals (id INTEGER PRIMARY KEY, i %1, big BIGINT, "
                                      "d %2, s %3, b %4, yn %5, dt %6)")
                           .arg(t.typeName(ValueKind::Integer), t.typeName(ValueKind::Double),
                                t.typeName(ValueKind::Text), t.typeName(ValueKind::Blob),
                                t.typeName(ValueKind::Bool), t.typeName(ValueKind::DateTime)));
    }

    QString insertStatement() const
    {
        QStringList markers;
        for (int i = 1; i <= 8; ++i)
            markers.append(traits().parameter(i));
        return QStringLiteral("INSERT INTO vals (id, i, big, d, s, b, yn, dt) VALUES (%1)")
            .arg(markers.join(QStringLiteral(", ")));
    }
};

QByteArray everyByte()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

struct TypedRow {
    Row bound;    // i, big, d, s, b, yn, dt
    Row expected; // as read back
};

QList<TypedRow> typedRows()
{
    const QDateTime endOfDay(QDate(2024, 1, 15), QTime(23, 59, 59));
    const QDateTime midnight(QDate(2024, 1, 15), QTime(0, 0));
    const QDateTime beforeDayZero(QDate(1899, 12, 29), QTime(6, 0));
    const QByteArray withZeros("\0\x01\xFF\0abc", 7);
    const QString quoted = QStringLiteral("O'Brien said \"hi\"; -- not a comment");
    const QString chinese = QStringLiteral("澜石进销存 名称='办公用品'\t\r\n末尾");
    const qint64 minInt = std::numeric_limits<qint32>::min();
    const qint64 maxBig = std::numeric_limits<qint64>::max();
    const qint64 minBig = std::numeric_limits<qint64>::min();
    const Value nullText{QMetaType::fromType<QString>()}; // a null of a column's type
    return {
        {{Value(), Value(), Value(), nullText, Value(), Value(), Value(QMetaType::fromType<QDateTime>())},
         {Value(), Value(), Value(), Value(), Value(), Value(), Value()}},
        {{qint64(0), maxBig, 0.1, QString(""), QByteArray("", 0), false, midnight},
         {qint64(0), maxBig, 0.1, QString(""), QByteArray("", 0), false, midnight}},
        {{minInt, minBig, -1.5e300, quoted, withZeros, true, endOfDay},
         {minInt, minBig, -1.5e300, quoted, withZeros, true, endOfDay}},
        // Narrower integer types, float and QDate widen to the stored kinds.
        {{int(42), int(7), 3.141592653589793, chinese, everyByte(), true, QDate(2024, 2, 29)},
         {qint64(42), qint64(7), 3.141592653589793, chinese, everyByte(), true,
          QDateTime(QDate(2024, 2, 29), QTime(0, 0))}},
        {{uint(1), qint64(-1), double(0.5f), QString(100000, QChar(u'字')), QByteArray(70000, 'x'),
          false, beforeDayZero},
         {qint64(1), qint64(-1), 0.5, QString(100000, QChar(u'字')), QByteArray(70000, 'x'), false,
          beforeDayZero}},
    };
}

void expectRows(const QList<Row> &rows, const QList<TypedRow> &expected, const char *path)
{
    ASSERT_EQ(rows.size(), expected.size()) << path;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 8) << path;
        EXPECT_EQ(rows[r][0].toLongLong(), r) << path;
        for (qsizetype c = 0; c < 7; ++c) {
            const Value &actual = rows[r][c + 1];
            const Value &wanted = expected[r].expected[c];
            SCOPED_TRACE(testing::Message() << path << " row " << r << " column " << c + 1);
            EXPECT_EQ(actual.isValid(), wanted.isValid());
            if (wanted.isValid()) {
                EXPECT_EQ(actual.typeId(), wanted.typeId()) << actual.typeName();
                EXPECT_TRUE(actual == wanted) << actual.toString().left(60).toStdString();
            }
        }
    }
}

TEST_P(ValueRoundTrip, BoundValuesComeBackWithTheirKinds)
{
    auto db = open();
    ASSERT_TRUE(db);
    createTable(*db);
    const auto insert = db->prepare(insertStatement());
    ASSERT_TRUE(insert) << db->lastError().text().toStdString();
    const QList<TypedRow> rows = typedRows();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        ASSERT_TRUE(insert->bindAll(Row{qint64(r)} + rows[r].bound));
        const auto affected = insert->execute();
        ASSERT_TRUE(affected.has_value()) << insert->lastError().text().toStdString();
        EXPECT_EQ(*affected, 1);
    }

    const QString select = QStringLiteral("SELECT id, i, big, d, s, b, yn, dt FROM vals ORDER BY id");
    const auto result = db->query(select);
    ASSERT_TRUE(result) << db->lastError().text().toStdString();
    const QList<ValueKind> kinds = {ValueKind::Integer, ValueKind::Integer, ValueKind::Integer,
                                    ValueKind::Double,  ValueKind::Text,    ValueKind::Blob,
                                    ValueKind::Bool,    ValueKind::DateTime};
    ASSERT_EQ(result->columns.size(), kinds.size());
    for (qsizetype c = 0; c < kinds.size(); ++c) {
        EXPECT_EQ(result->columns[c].kind, kinds[c]) << result->columns[c].name.toStdString();
        EXPECT_FALSE(result->columns[c].declaredType.isEmpty());
    }
    EXPECT_EQ(result->columns[6].name, QStringLiteral("yn"));
    expectRows(result->rows, rows, "query");

    // The cursor and a prepared query read the same values.
    const auto cursor = db->openCursor(select);
    ASSERT_TRUE(cursor) << db->lastError().text().toStdString();
    QList<Row> fetched;
    ASSERT_TRUE(cursor->fetch(2, fetched));
    ASSERT_TRUE(cursor->fetch(0, fetched));
    expectRows(fetched, rows, "cursor");
    const auto prepared = db->prepare(select);
    ASSERT_TRUE(prepared);
    const auto again = prepared->query();
    ASSERT_TRUE(again) << prepared->lastError().text().toStdString();
    expectRows(again->rows, rows, "prepared query");
}

TEST_P(ValueRoundTrip, LiteralsFromTheTraitsReadAsTheirKinds)
{
    auto db = open();
    ASSERT_TRUE(db);
    createTable(*db);
    const QDateTime when(QDate(2008, 8, 30), QTime(9, 5));
    execOrFail(*db, QStringLiteral("INSERT INTO vals (id, yn, dt) VALUES (1, %1, %2), (2, %3, %4)")
                        .arg(traits().booleanLiteral(true), traits().dateLiteral(when),
                             traits().booleanLiteral(false),
                             traits().dateLiteral(QDateTime(QDate(2008, 8, 30), QTime(0, 0)))));
    const auto result = db->query(QStringLiteral("SELECT yn, dt FROM vals ORDER BY id"));
    ASSERT_TRUE(result) << db->lastError().text().toStdString();
    ASSERT_EQ(result->rowCount(), 2);
    EXPECT_EQ(result->value(0, 0), Value(true));
    EXPECT_EQ(result->value(0, u"DT"), Value(when));
    EXPECT_EQ(result->value(1, 0), Value(false));
    EXPECT_EQ(result->value(1, 1), Value(QDateTime(QDate(2008, 8, 30), QTime(0, 0))));
    // Dates compare as dates: a range bound written as a literal selects by time.
    const auto inRange = db->queryValue(
        QStringLiteral("SELECT count(*) FROM vals WHERE dt > %1")
            .arg(traits().dateLiteral(QDateTime(QDate(2008, 8, 30), QTime(9, 0)))));
    ASSERT_TRUE(inRange) << db->lastError().text().toStdString();
    EXPECT_EQ(inRange->toLongLong(), 1);
}

TEST_P(ValueRoundTrip, RowsAffectedAreCounted)
{
    auto db = open();
    ASSERT_TRUE(db);
    createTable(*db);
    const struct {
        const char *sql;
        qint64 rows;
    } steps[] = {
        {"INSERT INTO vals (id, i) VALUES (1, 10), (2, 20), (3, 30)", 3},
        {"UPDATE vals SET i = i + 1 WHERE id >= 2", 2},
        {"UPDATE vals SET i = 0 WHERE id = 99", 0},
        {"CREATE INDEX vals_i ON vals (i)", 0},
        {"DELETE FROM vals", 3},
    };
    for (const auto &step : steps) {
        const auto affected = db->exec(QString::fromLatin1(step.sql));
        ASSERT_TRUE(affected) << step.sql << ": " << db->lastError().text().toStdString();
        EXPECT_EQ(*affected, step.rows) << step.sql;
    }
    const auto update = db->prepare(QStringLiteral("UPDATE vals SET s = %1 WHERE id = %2")
                                        .arg(traits().parameter(1), traits().parameter(2)));
    ASSERT_TRUE(update);
    update->bindAll({QStringLiteral("x"), 1});
    EXPECT_EQ(update->execute(), 0);
}

TEST_P(ValueRoundTrip, UnstorableValuesAreRefusedAtBinding)
{
    auto db = open();
    ASSERT_TRUE(db);
    createTable(*db);
    const auto insert = db->prepare(insertStatement());
    ASSERT_TRUE(insert);
    EXPECT_FALSE(insert->bind(1, QPointF(1, 2)));
    EXPECT_EQ(insert->lastError().phase, Phase::Bind);
    EXPECT_FALSE(insert->bind(0, 1));
    EXPECT_FALSE(insert->bind(2, std::numeric_limits<quint64>::max()));
    EXPECT_TRUE(insert->bind(1, 5));
    EXPECT_EQ(insert->execute(), 1); // positions left unbound are NULL
    EXPECT_EQ(db->queryValue(QStringLiteral("SELECT count(*) FROM vals WHERE s IS NULL")),
              Value(qint64(1)));
}

TEST_P(ValueRoundTrip, SpecialDoublesSurvive)
{
    auto db = open();
    ASSERT_TRUE(db);
    createTable(*db);
    const auto insert = db->prepare(QStringLiteral("INSERT INTO vals (id, d) VALUES (%1, %2)")
                                        .arg(traits().parameter(1), traits().parameter(2)));
    ASSERT_TRUE(insert);
    const double values[] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                             -0.0, 1.0 / 3.0, 123456789.123456789};
    for (int i = 0; i < int(std::size(values)); ++i) {
        insert->bindAll({i, values[i]});
        ASSERT_TRUE(insert->execute()) << insert->lastError().text().toStdString();
    }
    const auto result = db->query(QStringLiteral("SELECT d FROM vals ORDER BY id"));
    ASSERT_TRUE(result);
    for (int i = 0; i < int(std::size(values)); ++i)
        EXPECT_EQ(result->value(i, 0).toDouble(), values[i]) << i;
}

QV_INSTANTIATE_FOR_ENGINES(ValueRoundTrip);

} // namespace
} // namespace qv::db::test
