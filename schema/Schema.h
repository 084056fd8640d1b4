// The data model of the registry and of an account set, read from one source
// (qv.schema). The template builder, the server's datasets, the backup and the
// upgrade tool all take tables and columns from here; nothing restates the list.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace qv::schema {

enum class ColumnType {
    Text,       // text(n): Unicode text of at most n characters
    Integer,    // 32-bit signed
    SmallInt,   // 16-bit signed
    AutoNumber, // 32-bit, assigned by the database on insert
    Double,
    Decimal,    // decimal(p,s)
    Currency,   // fixed point with 4 decimals
    Date,       // a date (midnight value)
    DateTime,
    YesNo,
    Memo,       // long text
    Blob,
};

// How a dataset treats a real column of its base table when changes are saved.
enum class ColumnRole {
    RowKey,     // written, and always used to find the row again
    Locating,   // written, and used to find the row under rule "all"
    UpdateOnly, // written, never used to find the row
    ReadOnly,   // exists in the table but never written through a dataset
};

struct Column {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;             // text length; decimal precision
    int scale = 0;            // decimal scale
    bool fixedLength = false; // declared fixed-length text; stored without padding
    bool spare = false;       // reserve column no part of the system fills
    ColumnRole role = ColumnRole::UpdateOnly;

    bool isLongValue() const { return type == ColumnType::Memo || type == ColumnType::Blob; }
    bool isTextual() const { return type == ColumnType::Text || type == ColumnType::Memo; }
};

struct Index {
    QString name;
    QStringList columns;
    bool unique = false;
};

enum class Database { Registry, Business };

struct Table {
    QString name;
    Database database = Database::Business;
    QList<Column> columns;
    QStringList rowKey;       // columns that find a row again
    QList<Index> indexes;
    bool primaryKey = false;  // rowKey is enforced as the table's primary key

    const Column *column(QStringView columnName) const; // case-insensitive
};

enum class UpdateRule { All, Changed, KeyOnly };
enum class Module { Business, Report };          // TDatas / TDatasBb
enum class Connection { Business, Registry };

struct Dataset {
    QString name;             // published name, e.g. "pHp"
    QString component;        // the query behind it, named by SetFilter, e.g. "Hp"
    QString statement;        // empty: serves client statements only
    QString baseTable;        // first table after "from"; empty when none
    UpdateRule rule = UpdateRule::All;
    Module module = Module::Business;
    Connection connection = Connection::Business;
};

class Schema {
public:
    // The model built into the program. Parsing errors there are build faults,
    // caught by the tests; the accessor aborts with the error text.
    static const Schema &builtIn();

    // Parses schema text; on failure returns false and fills error with
    // "line N: message".
    static bool parse(const QString &text, Schema &out, QString *error);

    const QList<Table> &tables() const { return m_tables; }
    QList<const Table *> tables(Database database) const;
    const Table *table(QStringView name) const;       // case-insensitive
    const QList<Dataset> &datasets() const { return m_datasets; }
    QList<const Dataset *> datasets(Module module) const;
    const Dataset *dataset(QStringView name) const;   // case-insensitive

private:
    QList<Table> m_tables;
    QList<Dataset> m_datasets;
};

QString columnTypeName(ColumnType type); // the name used in the schema text

// Registers the files built into the library (schema and initial rows).
void ensureSchemaResource();

} // namespace qv::schema
