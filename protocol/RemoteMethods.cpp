#include "protocol/RemoteMethods.h"

#include <limits>

namespace qv::protocol {

namespace {

bool decodeEmpty(const QCborValue &value, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    return reader.finish();
}

} // namespace

QCborValue toCbor(const SetFilterArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("filter"), QCborArray::fromStringList(args.filter));
    return map;
}

bool fromCbor(const QCborValue &value, SetFilterArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.filter = reader.textList(QStringLiteral("filter"));
    return reader.finish();
}

QCborValue toCbor(const GetAccountsArgs &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, GetAccountsArgs &, DecodeErrors &errors)
{
    return decodeEmpty(value, errors);
}

QCborValue toCbor(const ConnectActArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dataBaseType"), args.dataBaseType);
    map.insert(QStringLiteral("serverName"), args.serverName);
    map.insert(QStringLiteral("dataBaseName"), args.dataBaseName);
    map.insert(QStringLiteral("user"), args.user);
    map.insert(QStringLiteral("password"), args.password);
    return map;
}

bool fromCbor(const QCborValue &value, ConnectActArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dataBaseType = int(reader.integer(QStringLiteral("dataBaseType"),
                                          std::numeric_limits<int>::min(),
                                          std::numeric_limits<int>::max()));
    out.serverName = reader.text(QStringLiteral("serverName"));
    out.dataBaseName = reader.text(QStringLiteral("dataBaseName"));
    out.user = reader.text(QStringLiteral("user"));
    out.password = reader.text(QStringLiteral("password"));
    return reader.finish();
}

QCborValue toCbor(const GetServerDateArgs &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, GetServerDateArgs &, DecodeErrors &errors)
{
    return decodeEmpty(value, errors);
}

QCborValue toCbor(const GetServerDateTimeArgs &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, GetServerDateTimeArgs &, DecodeErrors &errors)
{
    return decodeEmpty(value, errors);
}

QCborValue toCbor(const GetTableNamesArgs &)
{
    return QCborMap();
}

bool fromCbor(const QCborValue &value, GetTableNamesArgs &, DecodeErrors &errors)
{
    return decodeEmpty(value, errors);
}

QCborValue toCbor(const CompactDatabaseArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("dbName"), args.dbName);
    map.insert(QStringLiteral("dbPassword"), args.dbPassword);
    return map;
}

bool fromCbor(const QCborValue &value, CompactDatabaseArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.dbName = reader.text(QStringLiteral("dbName"));
    out.dbPassword = reader.text(QStringLiteral("dbPassword"));
    return reader.finish();
}

QCborValue toCbor(const BackupDataArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("ztName"), args.ztName);
    return map;
}

bool fromCbor(const QCborValue &value, BackupDataArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.ztName = reader.text(QStringLiteral("ztName"));
    return reader.finish();
}

QCborValue toCbor(const NextBillNoArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("key"), args.key);
    return map;
}

bool fromCbor(const QCborValue &value, NextBillNoArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.key = reader.text(QStringLiteral("key"));
    return reader.finish();
}

QCborValue toCbor(const CreateAccountSetArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("accountNo"), args.accountNo);
    map.insert(QStringLiteral("accountName"), args.accountName);
    map.insert(QStringLiteral("companyName"), args.companyName);
    return map;
}

bool fromCbor(const QCborValue &value, CreateAccountSetArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.accountNo = reader.text(QStringLiteral("accountNo"));
    out.accountName = reader.text(QStringLiteral("accountName"));
    out.companyName = reader.text(QStringLiteral("companyName"));
    return reader.finish();
}

QCborValue toCbor(const DeleteAccountSetArgs &args)
{
    QCborMap map;
    map.insert(QStringLiteral("accountNo"), args.accountNo);
    return map;
}

bool fromCbor(const QCborValue &value, DeleteAccountSetArgs &out, DecodeErrors &errors)
{
    MapReader reader(value, errors);
    out.accountNo = reader.text(QStringLiteral("accountNo"));
    return reader.finish();
}

} // namespace qv::protocol
