// Strict decoding of CBOR values into the protocol's types.
//
// Every type T of the protocol has a pair of free functions found by argument-
// dependent lookup:
//     QCborValue toCbor(const T &);
//     bool fromCbor(const QCborValue &, T &out, DecodeErrors &errors);
// fromCbor refuses a missing field, a field of the wrong CBOR type, a field it
// does not know, a duplicated key and values out of range, and records the
// first problem with the path of the field ("args.packet.modified[2].old: ...").
// decode<T>() wraps that for callers that only want the value or the text.
#pragma once

#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qv::protocol {

class DecodeErrors {
public:
    bool ok() const { return m_text.isEmpty(); }
    // "<path>: <message>", or the message alone at the top level.
    const QString &text() const { return m_text; }

    // Records the problem at the current path unless an earlier one is recorded.
    // Returns false so that callers can write `return errors.fail(...)`.
    bool fail(const QString &message);

    QString path() const;

    // A path segment for the lifetime of the object: a field name, or an index
    // written as "[3]".
    class Scope {
    public:
        Scope(DecodeErrors &errors, QString segment);
        Scope(DecodeErrors &errors, qsizetype index);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        DecodeErrors &m_errors;
    };

private:
    // Indexes are kept as numbers and only written out when an error is
    // recorded: rows are decoded value by value, and errors are rare.
    struct Segment {
        QString key;
        qsizetype index = -1;
    };
    QList<Segment> m_path;
    QString m_text;
};

template <typename T>
std::optional<T> decode(const QCborValue &value, QString *error = nullptr)
{
    DecodeErrors errors;
    T out{};
    if (fromCbor(value, out, errors) && errors.ok())
        return out;
    if (error)
        *error = errors.text().isEmpty() ? QStringLiteral("invalid value") : errors.text();
    return std::nullopt;
}

// "a map", "text", "an integer", ... for error texts.
QString cborTypeName(const QCborValue &value);

// Reads the fields of one map. Construct it on the value, read every field the
// type knows, then call finish(), which refuses keys nobody read.
class MapReader {
public:
    MapReader(const QCborValue &value, DecodeErrors &errors);

    bool ok() const { return m_errors.ok(); }
    bool has(const QString &key) const;

    QString text(const QString &key);
    std::optional<QString> optionalText(const QString &key);
    qint64 integer(const QString &key, qint64 min, qint64 max);
    std::optional<qint64> optionalInteger(const QString &key, qint64 min, qint64 max);
    bool boolean(const QString &key);
    std::optional<bool> optionalBoolean(const QString &key);
    QStringList textList(const QString &key);
    // The field's raw value; fails when it is missing.
    QCborValue value(const QString &key);

    // Decodes a required field with fromCbor(value, out, errors) under its path.
    template <typename T>
    bool object(const QString &key, T &out)
    {
        const QCborValue v = value(key);
        if (!ok())
            return false;
        DecodeErrors::Scope scope(m_errors, key);
        return fromCbor(v, out, m_errors);
    }

    // Decodes every element of a required array field with `each`.
    bool array(const QString &key,
               const std::function<bool(const QCborValue &, qsizetype)> &each);

    bool finish();

private:
    QCborValue take(const QString &key, bool required);
    bool wrongType(const QString &key, const QString &expected, const QCborValue &found);

    QCborMap m_map;
    DecodeErrors &m_errors;
    QStringList m_read;
};

// Decodes every element of an array value, each under its index in the path.
bool decodeArray(const QCborValue &value, DecodeErrors &errors,
                 const std::function<bool(const QCborValue &, qsizetype)> &each);

} // namespace qv::protocol
