#include "protocol/Decode.h"

#include <QSet>

namespace qv::protocol {

bool DecodeErrors::fail(const QString &message)
{
    if (m_text.isEmpty()) {
        const QString where = path();
        m_text = where.isEmpty() ? message : where + QStringLiteral(": ") + message;
    }
    return false;
}

QString DecodeErrors::path() const
{
    QString out;
    for (const Segment &segment : m_path) {
        if (segment.index >= 0) {
            out += QLatin1Char('[') + QString::number(segment.index) + QLatin1Char(']');
            continue;
        }
        if (!out.isEmpty())
            out += QLatin1Char('.');
        out += segment.key;
    }
    return out;
}

DecodeErrors::Scope::Scope(DecodeErrors &errors, QString segment)
    : m_errors(errors)
{
    m_errors.m_path.append({std::move(segment), -1});
}

DecodeErrors::Scope::Scope(DecodeErrors &errors, qsizetype index)
    : m_errors(errors)
{
    m_errors.m_path.append({QString(), index});
}

DecodeErrors::Scope::~Scope()
{
    m_errors.m_path.removeLast();
}

QString cborTypeName(const QCborValue &value)
{
    switch (value.type()) {
    case QCborValue::Integer:
        return QStringLiteral("an integer");
    case QCborValue::ByteArray:
        return QStringLiteral("bytes");
    case QCborValue::String:
        return QStringLiteral("text");
    case QCborValue::Array:
        return QStringLiteral("an array");
    case QCborValue::Map:
        return QStringLiteral("a map");
    case QCborValue::False:
    case QCborValue::True:
        return QStringLiteral("yes/no");
    case QCborValue::Null:
        return QStringLiteral("null");
    case QCborValue::Undefined:
        return QStringLiteral("undefined");
    case QCborValue::Double:
        return QStringLiteral("a double");
    case QCborValue::Invalid:
        return QStringLiteral("nothing");
    default:
        if (value.isTag())
            return QStringLiteral("tag %1").arg(quint64(value.tag()));
        return QStringLiteral("CBOR type %1").arg(int(value.type()));
    }
}

MapReader::MapReader(const QCborValue &value, DecodeErrors &errors)
    : m_errors(errors)
{
    if (!value.isMap()) {
        errors.fail(QStringLiteral("expected a map, found %1").arg(cborTypeName(value)));
        return;
    }
    m_map = value.toMap();
    QSet<QString> seen;
    for (auto it = m_map.constBegin(); it != m_map.constEnd(); ++it) {
        const QCborValue key = it.key();
        if (!key.isString()) {
            errors.fail(QStringLiteral("field name is %1, not text").arg(cborTypeName(key)));
            return;
        }
        const QString name = key.toString();
        if (seen.contains(name)) {
            errors.fail(QStringLiteral("field '%1' appears twice").arg(name));
            return;
        }
        seen.insert(name);
    }
}

bool MapReader::has(const QString &key) const
{
    return m_map.contains(key);
}

QCborValue MapReader::take(const QString &key, bool required)
{
    if (!ok())
        return {};
    m_read.append(key);
    if (!m_map.contains(key)) {
        if (required) {
            DecodeErrors::Scope scope(m_errors, key);
            m_errors.fail(QStringLiteral("missing field"));
        }
        return {};
    }
    return m_map.value(key);
}

bool MapReader::wrongType(const QString &key, const QString &expected, const QCborValue &found)
{
    DecodeErrors::Scope scope(m_errors, key);
    return m_errors.fail(
        QStringLiteral("expected %1, found %2").arg(expected, cborTypeName(found)));
}

QString MapReader::text(const QString &key)
{
    const QCborValue v = take(key, true);
    if (!ok())
        return {};
    if (!v.isString()) {
        wrongType(key, QStringLiteral("text"), v);
        return {};
    }
    return v.toString();
}

std::optional<QString> MapReader::optionalText(const QString &key)
{
    if (!has(key)) {
        take(key, false);
        return std::nullopt;
    }
    QString out = text(key);
    if (!ok())
        return std::nullopt;
    return out;
}

qint64 MapReader::integer(const QString &key, qint64 min, qint64 max)
{
    const QCborValue v = take(key, true);
    if (!ok())
        return 0;
    if (!v.isInteger()) {
        wrongType(key, QStringLiteral("an integer"), v);
        return 0;
    }
    const qint64 n = v.toInteger();
    if (n < min || n > max) {
        DecodeErrors::Scope scope(m_errors, key);
        m_errors.fail(QStringLiteral("%1 is outside %2..%3").arg(n).arg(min).arg(max));
        return 0;
    }
    return n;
}

std::optional<qint64> MapReader::optionalInteger(const QString &key, qint64 min, qint64 max)
{
    if (!has(key)) {
        take(key, false);
        return std::nullopt;
    }
    const qint64 n = integer(key, min, max);
    if (!ok())
        return std::nullopt;
    return n;
}

bool MapReader::boolean(const QString &key)
{
    const QCborValue v = take(key, true);
    if (!ok())
        return false;
    if (!v.isBool()) {
        wrongType(key, QStringLiteral("yes/no"), v);
        return false;
    }
    return v.toBool();
}

std::optional<bool> MapReader::optionalBoolean(const QString &key)
{
    if (!has(key)) {
        take(key, false);
        return std::nullopt;
    }
    const bool b = boolean(key);
    if (!ok())
        return std::nullopt;
    return b;
}

QStringList MapReader::textList(const QString &key)
{
    QStringList out;
    array(key, [&](const QCborValue &element, qsizetype) {
        if (!element.isString())
            return m_errors.fail(
                QStringLiteral("expected text, found %1").arg(cborTypeName(element)));
        out.append(element.toString());
        return true;
    });
    return out;
}

QCborValue MapReader::value(const QString &key)
{
    return take(key, true);
}

bool MapReader::array(const QString &key,
                      const std::function<bool(const QCborValue &, qsizetype)> &each)
{
    const QCborValue v = take(key, true);
    if (!ok())
        return false;
    DecodeErrors::Scope scope(m_errors, key);
    return decodeArray(v, m_errors, each);
}

bool MapReader::finish()
{
    if (!ok())
        return false;
    for (auto it = m_map.constBegin(); it != m_map.constEnd(); ++it) {
        const QString name = it.key().toString();
        if (!m_read.contains(name))
            return m_errors.fail(QStringLiteral("unknown field '%1'").arg(name));
    }
    return true;
}

bool decodeArray(const QCborValue &value, DecodeErrors &errors,
                 const std::function<bool(const QCborValue &, qsizetype)> &each)
{
    if (!value.isArray())
        return errors.fail(QStringLiteral("expected an array, found %1").arg(cborTypeName(value)));
    const QCborArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        DecodeErrors::Scope scope(errors, i);
        if (!each(array.at(i), i) || !errors.ok())
            return errors.fail(QStringLiteral("invalid element"));
    }
    return true;
}

} // namespace qv::protocol
