#include "client/core/util/SqlScript.h"

#include "client/core/dataset/DisplayFormat.h"

#include <QTime>

namespace qv::client {

QString IifColumn(int databaseKind, const QString &column, const QString &whenTrue,
                  const QString &alias, const QString &otherwise)
{
    if (databaseKind == 0) {
        return QStringLiteral("iif(") + column + QLatin1Char(',') + quoted(whenTrue) + QLatin1Char(',')
               + quoted(otherwise) + QStringLiteral(") as ") + alias;
    }
    return QStringLiteral("case ") + column + QStringLiteral(" when 1 then ") + quoted(whenTrue)
           + QStringLiteral(" else ") + quoted(otherwise) + QStringLiteral(" end as ") + alias;
}

bool isSkippedByTableScript(const QString &table)
{
    return table.contains(QStringLiteral("MSys")) || table.contains(QStringLiteral("vi_"))
           || table.compare(QStringLiteral("QY3"), Qt::CaseInsensitive) == 0
           || table.compare(QStringLiteral("QY1"), Qt::CaseInsensitive) == 0;
}

namespace {

// A statement is one line of the script: line breaks inside text become chr().
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("' & chr(13) & chr(10) & '"));
    text.replace(QLatin1Char('\n'), QStringLiteral("' & chr(10) & '"));
    text.replace(QLatin1Char('\r'), QStringLiteral("' & chr(13) & '"));
    return text;
}

QString dateText(const QDateTime &value)
{
    if (value.time() == QTime(0, 0))
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

QString scriptValue(const Field &field)
{
    const QVariant value = field.value();
    if (!value.isValid())
        return QStringLiteral("Null");
    switch (field.type()) {
    case FieldType::Text:
        return quoted(field.asString().trimmed());
    case FieldType::Memo:
        // Memo text is kept as typed, line breaks included.
        return oneLine(quoted(field.asString()));
    case FieldType::Date:
    case FieldType::DateTime:
        return quoted(dateText(field.asDateTime()));
    case FieldType::Blob:
        return QStringLiteral("null");
    case FieldType::YesNo:
        return field.asBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Integer:
        return QString::number(field.asInteger());
    case FieldType::Double:
        return plainNumber(field.asDouble());
    }
    return QStringLiteral("Null");
}

bool TableInsertScript(QueryService &queries, DataSet &dataSet, const QString &table,
                       QStringList &lines)
{
    if (isSkippedByTableScript(table))
        return true;
    if (!queries.runSql(dataSet, QStringLiteral("select * from ") + table, true))
        return false;
    if (!dataSet.fetchAll())
        return false;
    if (dataSet.isEmpty())
        return true;

    QStringList names;
    QList<Field *> fields;
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        Field *field = dataSet.field(i);
        if (field->isCalculated())
            continue;
        names << field->name();
        fields << field;
    }
    const QString head = QStringLiteral("insert into ") + table + QLatin1Char('(')
                         + names.join(QLatin1Char(',')) + QStringLiteral(") ");

    QStringList script{QStringLiteral("delete from ") + table};
    for (int row = 0; row < dataSet.recordCount(); ++row) {
        QStringList values;
        dataSet.withRecordAt(row, [&] {
            for (const Field *field : fields)
                values << scriptValue(*field);
        });
        script << head + QStringLiteral("Values(") + values.join(QLatin1Char(',')) + QStringLiteral(") ");
    }
    lines << script;
    return true;
}

} // namespace qv::client
