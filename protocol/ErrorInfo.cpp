#include "protocol/ErrorInfo.h"

#include <limits>

namespace qv::protocol {

QString ErrorInfo::describe() const
{
    QStringList where;
    if (!phase.isEmpty())
        where.append(phase);
    if (line > 0)
        where.append(QStringLiteral("line %1").arg(line));
    if (column > 0)
        where.append(QStringLiteral("column %1").arg(column));
    if (where.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, where.join(QStringLiteral(", ")));
}

QCborValue toCbor(const ErrorInfo &error)
{
    QCborMap map;
    map.insert(QStringLiteral("text"), error.text);
    if (!error.phase.isEmpty())
        map.insert(QStringLiteral("phase"), error.phase);
    if (error.line > 0)
        map.insert(QStringLiteral("line"), error.line);
    if (error.column > 0)
        map.insert(QStringLiteral("column"), error.column);
    return map;
}

bool fromCbor(const QCborValue &value, ErrorInfo &out, DecodeErrors &errors)
{
    constexpr qint64 intMax = std::numeric_limits<int>::max();
    MapReader reader(value, errors);
    out.text = reader.text(QStringLiteral("text"));
    out.phase = reader.optionalText(QStringLiteral("phase")).value_or(QString());
    out.line = int(reader.optionalInteger(QStringLiteral("line"), 1, intMax).value_or(0));
    out.column = int(reader.optionalInteger(QStringLiteral("column"), 1, intMax).value_or(0));
    return reader.finish();
}

} // namespace qv::protocol
