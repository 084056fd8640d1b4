// Arguments of the business module's remote methods. Each type names its
// operation and its reply type, so Channel::request() can pair them.
#pragma once

#include "protocol/Operation.h"

#include <QStringList>

namespace qv::protocol {

// Sets the filter of the module's query named filter[0] to filter[1]; an empty
// expression switches filtering off. Fewer than two elements make the call fail
// (a failed result, not a protocol error), as does an unknown query name.
struct SetFilterArgs {
    static constexpr Operation operation = Operation::SetFilter;
    using Reply = EmptyReply;
    QStringList filter;
    bool operator==(const SetFilterArgs &) const = default;
};

// 0 when the account-set registry holds a row, -1 otherwise.
struct GetAccountsArgs {
    static constexpr Operation operation = Operation::GetAccounts;
    using Reply = IntegerReply;
    bool operator==(const GetAccountsArgs &) const = default;
};

// Binds the connection's business database to an account set. Reply: 0 when a
// connection was described, -1 when none could be formed.
struct ConnectActArgs {
    static constexpr Operation operation = Operation::ConnectAct;
    using Reply = IntegerReply;
    int dataBaseType = 0; // 0 file mode, other values server mode
    QString serverName;
    QString dataBaseName; // the account set's AccountNo
    QString user;
    QString password;
    bool operator==(const ConnectActArgs &) const = default;
};

// Reply: "YYYY-MM-DD".
struct GetServerDateArgs {
    static constexpr Operation operation = Operation::GetServerDate;
    using Reply = TextReply;
    bool operator==(const GetServerDateArgs &) const = default;
};

// Reply: "YYYY-MM-DD HH:MM:SS".
struct GetServerDateTimeArgs {
    static constexpr Operation operation = Operation::GetServerDateTime;
    using Reply = TextReply;
    bool operator==(const GetServerDateTimeArgs &) const = default;
};

// Reply: the table names joined with "|".
struct GetTableNamesArgs {
    static constexpr Operation operation = Operation::GetTableNames;
    using Reply = TextReply;
    bool operator==(const GetTableNamesArgs &) const = default;
};

// Reply: 1 after a successful compaction. Both arguments are ignored.
struct CompactDatabaseArgs {
    static constexpr Operation operation = Operation::CompactDatabase;
    using Reply = IntegerReply;
    QString dbName;
    QString dbPassword;
    bool operator==(const CompactDatabaseArgs &) const = default;
};

// Reply: the backup's result value. The argument is ignored.
struct BackupDataArgs {
    static constexpr Operation operation = Operation::BackupData;
    using Reply = IntegerReply;
    QString ztName;
    bool operator==(const BackupDataArgs &) const = default;
};

// Takes the next running number of a numbering key (prefix and month, for
// example "CS202401") and advances the counter in the same transaction.
// Reply: the number handed out.
struct NextBillNoArgs {
    static constexpr Operation operation = Operation::NextBillNo;
    using Reply = IntegerReply;
    QString key;
    bool operator==(const NextBillNoArgs &) const = default;
};

// Creates an account set from the template and registers it.
struct CreateAccountSetArgs {
    static constexpr Operation operation = Operation::CreateAccountSet;
    using Reply = EmptyReply;
    QString accountNo;
    QString accountName;
    QString companyName;
    bool operator==(const CreateAccountSetArgs &) const = default;
};

// Removes an account set from the registry and deletes its database.
struct DeleteAccountSetArgs {
    static constexpr Operation operation = Operation::DeleteAccountSet;
    using Reply = EmptyReply;
    QString accountNo;
    bool operator==(const DeleteAccountSetArgs &) const = default;
};

QCborValue toCbor(const SetFilterArgs &args);
bool fromCbor(const QCborValue &value, SetFilterArgs &out, DecodeErrors &errors);
QCborValue toCbor(const GetAccountsArgs &args);
bool fromCbor(const QCborValue &value, GetAccountsArgs &out, DecodeErrors &errors);
QCborValue toCbor(const ConnectActArgs &args);
bool fromCbor(const QCborValue &value, ConnectActArgs &out, DecodeErrors &errors);
QCborValue toCbor(const GetServerDateArgs &args);
bool fromCbor(const QCborValue &value, GetServerDateArgs &out, DecodeErrors &errors);
QCborValue toCbor(const GetServerDateTimeArgs &args);
bool fromCbor(const QCborValue &value, GetServerDateTimeArgs &out, DecodeErrors &errors);
QCborValue toCbor(const GetTableNamesArgs &args);
bool fromCbor(const QCborValue &value, GetTableNamesArgs &out, DecodeErrors &errors);
QCborValue toCbor(const CompactDatabaseArgs &args);
bool fromCbor(const QCborValue &value, CompactDatabaseArgs &out, DecodeErrors &errors);
QCborValue toCbor(const BackupDataArgs &args);
bool fromCbor(const QCborValue &value, BackupDataArgs &out, DecodeErrors &errors);
QCborValue toCbor(const NextBillNoArgs &args);
bool fromCbor(const QCborValue &value, NextBillNoArgs &out, DecodeErrors &errors);
QCborValue toCbor(const CreateAccountSetArgs &args);
bool fromCbor(const QCborValue &value, CreateAccountSetArgs &out, DecodeErrors &errors);
QCborValue toCbor(const DeleteAccountSetArgs &args);
bool fromCbor(const QCborValue &value, DeleteAccountSetArgs &out, DecodeErrors &errors);

} // namespace qv::protocol
