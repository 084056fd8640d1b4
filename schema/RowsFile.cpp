#include "schema/RowsFile.h"

#include <QDateTime>
#include <QFile>

namespace qv::schema {

bool rowValue(const Column &column, const QString &text, QVariant &out, QString *error)
{
    if (text == QLatin1String("\\N")) {
        out = QVariant();
        return true;
    }
    bool ok = true;
    switch (column.type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        out = text;
        if (column.type == ColumnType::Text && text.size() > column.size) {
            *error = QStringLiteral("%1 is longer than %2 characters").arg(column.name).arg(column.size);
            return false;
        }
        return true;
    case ColumnType::Integer:
    case ColumnType::SmallInt:
    case ColumnType::AutoNumber:
        out = text.toLongLong(&ok);
        break;
    case ColumnType::Double:
    case ColumnType::Decimal:
    case ColumnType::Currency:
        out = text.toDouble(&ok);
        break;
    case ColumnType::YesNo:
        ok = text == QLatin1String("0") || text == QLatin1String("1");
        out = text == QLatin1String("1");
        break;
    case ColumnType::Date:
    case ColumnType::DateTime: {
        QDateTime dt = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!dt.isValid())
            dt = QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).startOfDay();
        ok = dt.isValid();
        out = dt;
        break;
    }
    case ColumnType::Blob:
        ok = false;
        break;
    }
    if (!ok)
        *error = QStringLiteral("\"%1\" is not a valid %2 for %3")
                     .arg(text, columnTypeName(column.type), column.name);
    return ok;
}

bool RowsFile::fail(const QString &fileName, int line, const QString &message)
{
    m_error = QStringLiteral("%1:%2: %3").arg(fileName).arg(line).arg(message);
    return false;
}

bool RowsFile::parseBuiltIn(const QString &name, const Schema &schema)
{
    ensureSchemaResource();
    QFile file(QStringLiteral(":/qv/schema/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return fail(name, 0, QStringLiteral("not built into the program"));
    return parse(QString::fromUtf8(file.readAll()), schema, name);
}

bool RowsFile::parse(const QString &text, const Schema &schema, const QString &fileName)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    RowsBlock *block = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int lineNo = i + 1;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        if (line.trimmed().isEmpty()) {
            block = nullptr;
            continue;
        }
        if (!block) {
            const QStringList words = line.simplified().split(QLatin1Char(' '));
            if (words.size() != 3 || words[0] != QLatin1String("rows"))
                return fail(fileName, lineNo, QStringLiteral("expected: rows TABLE COL,COL"));
            RowsBlock b;
            b.line = lineNo;
            b.table = schema.table(words[1]);
            if (!b.table)
                return fail(fileName, lineNo, QStringLiteral("unknown table %1").arg(words[1]));
            for (const QString &name : words[2].split(QLatin1Char(','))) {
                const Column *c = b.table->column(name.trimmed());
                if (!c)
                    return fail(fileName, lineNo, QStringLiteral("%1 has no column %2").arg(b.table->name, name));
                b.columns << c;
            }
            m_blocks.append(b);
            block = &m_blocks.last();
            continue;
        }
        const QStringList values = line.split(QLatin1Char('\t'));
        if (values.size() != block->columns.size())
            return fail(fileName, lineNo, QStringLiteral("%1 values for %2 columns")
                                              .arg(values.size()).arg(block->columns.size()));
        QVariantList row;
        for (int c = 0; c < values.size(); ++c) {
            QVariant v;
            QString error;
            if (!rowValue(*block->columns[c], values[c], v, &error))
                return fail(fileName, lineNo, error);
            row << v;
        }
        block->rows << row;
    }
    return true;
}

} // namespace qv::schema
