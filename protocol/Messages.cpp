#include "protocol/Messages.h"

#include <limits>

namespace qv::protocol {

namespace {

constexpr qint64 kInt64Max = std::numeric_limits<qint64>::max();
constexpr qint64 kIntMax = std::numeric_limits<int>::max();

const QString &kindKey()
{
    static const QString key = QStringLiteral("kind");
    return key;
}

template <std::size_t I = 0>
bool decodeAlternative(Operation operation, const QCborValue &value, Arguments &out,
                       DecodeErrors &errors)
{
    if constexpr (I < std::variant_size_v<Arguments>) {
        using Args = std::variant_alternative_t<I, Arguments>;
        if (Args::operation != operation)
            return decodeAlternative<I + 1>(operation, value, out, errors);
        Args args;
        if (!fromCbor(value, args, errors))
            return false;
        out = std::move(args);
        return true;
    } else {
        return errors.fail(QStringLiteral("operation without arguments type"));
    }
}

QCborMap kindMap(const char *kind)
{
    QCborMap map;
    map.insert(kindKey(), QString::fromLatin1(kind));
    return map;
}

QCborValue encode(const Hello &hello)
{
    QCborMap map = kindMap("hello");
    map.insert(QStringLiteral("version"), hello.version);
    map.insert(QStringLiteral("objects"), QCborArray::fromStringList(hello.objects));
    map.insert(QStringLiteral("client"), hello.client);
    return map;
}

QCborValue encode(const HelloReply &reply)
{
    QCborMap map = kindMap("hello-reply");
    map.insert(QStringLiteral("version"), reply.version);
    map.insert(QStringLiteral("objects"), QCborArray::fromStringList(reply.objects));
    map.insert(QStringLiteral("server"), reply.server);
    return map;
}

QCborValue encode(const Call &call)
{
    QCborMap map = kindMap("call");
    map.insert(QStringLiteral("id"), qint64(call.id));
    map.insert(QStringLiteral("object"), remoteObjectName(call.object));
    map.insert(QStringLiteral("op"), operationName(call.operation()));
    map.insert(QStringLiteral("args"), toCbor(call.arguments));
    return map;
}

QCborValue encode(const Result &result)
{
    QCborMap map = kindMap("result");
    map.insert(QStringLiteral("id"), qint64(result.id));
    map.insert(QStringLiteral("ok"), result.ok);
    if (result.ok)
        map.insert(QStringLiteral("value"), result.value);
    else
        map.insert(QStringLiteral("error"), toCbor(result.error));
    return map;
}

QCborValue encode(const ProtocolError &error)
{
    QCborMap map = kindMap("error");
    map.insert(QStringLiteral("text"), error.text);
    return map;
}

bool decodeHello(MapReader &reader, Hello &out)
{
    out.version = int(reader.integer(QStringLiteral("version"), 0, kIntMax));
    out.objects = reader.textList(QStringLiteral("objects"));
    out.client = reader.text(QStringLiteral("client"));
    return reader.finish();
}

bool decodeHelloReply(MapReader &reader, HelloReply &out)
{
    out.version = int(reader.integer(QStringLiteral("version"), 0, kIntMax));
    out.objects = reader.textList(QStringLiteral("objects"));
    out.server = reader.text(QStringLiteral("server"));
    return reader.finish();
}

bool decodeCall(MapReader &reader, Call &out, DecodeErrors &errors)
{
    out.id = quint64(reader.integer(QStringLiteral("id"), 1, kInt64Max));
    const QString objectName = reader.text(QStringLiteral("object"));
    const QString operationText = reader.text(QStringLiteral("op"));
    const QCborValue args = reader.value(QStringLiteral("args"));
    if (!reader.ok())
        return false;
    const auto object = remoteObjectFromName(objectName);
    if (!object) {
        DecodeErrors::Scope scope(errors, QStringLiteral("object"));
        return errors.fail(QStringLiteral("unknown remote object '%1'").arg(objectName));
    }
    const auto operation = operationFromName(operationText);
    if (!operation) {
        DecodeErrors::Scope scope(errors, QStringLiteral("op"));
        return errors.fail(QStringLiteral("unknown operation '%1'").arg(operationText));
    }
    if (!offers(*object, *operation)) {
        DecodeErrors::Scope scope(errors, QStringLiteral("op"));
        return errors.fail(QStringLiteral("%1 does not offer %2").arg(objectName, operationText));
    }
    out.object = *object;
    {
        DecodeErrors::Scope scope(errors, QStringLiteral("args"));
        if (!decodeArguments(*operation, args, out.arguments, errors))
            return false;
    }
    return reader.finish();
}

bool decodeResult(MapReader &reader, Result &out, DecodeErrors &errors)
{
    out.id = quint64(reader.integer(QStringLiteral("id"), 1, kInt64Max));
    out.ok = reader.boolean(QStringLiteral("ok"));
    if (!reader.ok())
        return false;
    if (out.ok) {
        const QCborValue value = reader.value(QStringLiteral("value"));
        if (reader.ok() && !value.isMap()) {
            DecodeErrors::Scope scope(errors, QStringLiteral("value"));
            return errors.fail(QStringLiteral("expected a map, found %1").arg(cborTypeName(value)));
        }
        out.value = value.toMap();
    } else if (!reader.object(QStringLiteral("error"), out.error)) {
        return false;
    }
    return reader.finish();
}

} // namespace

Operation operationOf(const Arguments &arguments)
{
    return std::visit([](const auto &args) { return std::decay_t<decltype(args)>::operation; },
                      arguments);
}

QCborValue toCbor(const Arguments &arguments)
{
    return std::visit([](const auto &args) { return toCbor(args); }, arguments);
}

bool decodeArguments(Operation operation, const QCborValue &value, Arguments &out,
                     DecodeErrors &errors)
{
    return decodeAlternative(operation, value, out, errors);
}

Result Result::success(quint64 id, const QCborValue &reply)
{
    Result result;
    result.id = id;
    result.ok = true;
    result.value = reply.toMap();
    return result;
}

Result Result::failure(quint64 id, ErrorInfo error)
{
    Result result;
    result.id = id;
    result.ok = false;
    result.error = std::move(error);
    return result;
}

QCborValue toCbor(const Message &message)
{
    return std::visit([](const auto &m) { return encode(m); }, message);
}

std::optional<Message> decodeMessage(const QCborValue &value, QString *error)
{
    DecodeErrors errors;
    MapReader reader(value, errors);
    const QString kind = reader.text(kindKey());
    std::optional<Message> out;
    if (reader.ok()) {
        DecodeErrors::Scope scope(errors, kind);
        if (kind == QLatin1String("hello")) {
            Hello hello;
            if (decodeHello(reader, hello))
                out = std::move(hello);
        } else if (kind == QLatin1String("hello-reply")) {
            HelloReply reply;
            if (decodeHelloReply(reader, reply))
                out = std::move(reply);
        } else if (kind == QLatin1String("call")) {
            Call call;
            if (decodeCall(reader, call, errors))
                out = std::move(call);
        } else if (kind == QLatin1String("result")) {
            Result result;
            if (decodeResult(reader, result, errors))
                out = std::move(result);
        } else if (kind == QLatin1String("error")) {
            ProtocolError protocolError;
            protocolError.text = reader.text(QStringLiteral("text"));
            if (reader.finish())
                out = std::move(protocolError);
        } else {
            errors.fail(QStringLiteral("unknown message kind '%1'").arg(kind));
        }
    }
    if (!out && error)
        *error = errors.text().isEmpty() ? QStringLiteral("invalid message") : errors.text();
    return out;
}

QByteArray encodeMessageFrame(const Message &message, const FrameLimits &limits, QString *error)
{
    return encodeFrame(toCbor(message), limits, error);
}

} // namespace qv::protocol
