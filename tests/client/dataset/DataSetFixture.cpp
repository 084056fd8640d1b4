#include "DataSetFixture.h"

namespace qv::client::test {

FieldDefs lineFields()
{
    return {
        {QStringLiteral("ID"), FieldType::Integer, 0, FieldFlag::RowKey | FieldFlag::Required},
        {QStringLiteral("ZBID"), FieldType::Integer, 0, {}},
        {QStringLiteral("HPID"), FieldType::Integer, 0, {}},
        {QStringLiteral("aBH"), FieldType::Text, 20, FieldFlag::Computed},
        {QStringLiteral("SL"), FieldType::Double, 0, {}},
        {QStringLiteral("DJ"), FieldType::Double, 0, {}},
        {QStringLiteral("BZ"), FieldType::Text, 50, {}},
        {QStringLiteral("RQ"), FieldType::Date, 0, {}},
        {QStringLiteral("ZT"), FieldType::YesNo, 0, {}},
    };
}

QList<RowValues> lineRows(int count)
{
    QList<RowValues> rows;
    const QDate start(2024, 1, 1);
    for (int i = 0; i < count; ++i) {
        rows << RowValues{qint64(i + 1),
                          qint64(1),
                          qint64(100 + i),
                          QStringLiteral("H%1").arg(i + 1, 4, 10, QLatin1Char('0')),
                          double(i + 1),
                          2.5,
                          QStringLiteral("line %1").arg(i + 1),
                          QDateTime(start.addDays(i), QTime(0, 0)),
                          false};
    }
    return rows;
}

void recordEvents(DataSet &ds, QStringList &log)
{
    // Each recorder logs, then runs the hook that was there before.
    DataSetHooks &h = ds.hooks();
    auto guard = [&log](DataSetHooks::Guard &slot, const char *name) {
        slot = [&log, name, previous = slot](DataSet &d) {
            log << QString::fromLatin1(name);
            return previous ? previous(d) : true;
        };
    };
    auto event = [&log](DataSetHooks::Event &slot, const char *name) {
        slot = [&log, name, previous = slot](DataSet &d) {
            log << QString::fromLatin1(name);
            if (previous)
                previous(d);
        };
    };
    guard(h.beforeOpen, "beforeOpen");
    event(h.afterOpen, "afterOpen");
    guard(h.beforeClose, "beforeClose");
    event(h.afterClose, "afterClose");
    guard(h.beforeInsert, "beforeInsert");
    event(h.afterInsert, "afterInsert");
    guard(h.beforeEdit, "beforeEdit");
    event(h.afterEdit, "afterEdit");
    guard(h.beforePost, "beforePost");
    event(h.afterPost, "afterPost");
    guard(h.beforeCancel, "beforeCancel");
    event(h.afterCancel, "afterCancel");
    guard(h.beforeDelete, "beforeDelete");
    event(h.afterDelete, "afterDelete");
    guard(h.beforeScroll, "beforeScroll");
    event(h.afterScroll, "afterScroll");
    event(h.newRecord, "newRecord");
    h.stateChange = [&log, previous = h.stateChange](DataSet &d, DataSetState s) {
        static const char *names[] = {"Inactive", "Browse", "Edit", "Insert"};
        log << QStringLiteral("stateChange:%1").arg(QLatin1String(names[int(s)]));
        if (previous)
            previous(d, s);
    };
    h.dataChange = [&log, previous = h.dataChange](DataSet &d, Field *f) {
        log << (f ? QStringLiteral("dataChange:%1").arg(f->name()) : QStringLiteral("dataChange"));
        if (previous)
            previous(d, f);
    };
}

QVariantList column(DataSet &ds, const QString &field)
{
    QVariantList values;
    const Field *f = ds.fieldByName(field);
    for (int row = 0; f && row < ds.recordCount(); ++row)
        values << ds.valueAt(row, *f);
    return values;
}

QVariantList sourceColumn(const MemoryDataSource &source, const QString &provider, int column)
{
    QVariantList values;
    for (const RowValues &row : source.rows(provider))
        values << row.value(column);
    return values;
}

void LinesTest::SetUp()
{
    openWith(5);
}

void LinesTest::openWith(int rows)
{
    ds.close();
    source.setTable(QStringLiteral("pLL"), lineFields(), lineRows(rows));
    ds.setSource(&source);
    ds.setProviderName(QStringLiteral("pLL"));
    ASSERT_TRUE(ds.open()) << ds.lastError().toString().toStdString();
}

} // namespace qv::client::test
