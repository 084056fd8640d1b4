#include "server/Backup.h"

#include "common/DayNumber.h"
#include "common/IniFile.h"
#include "common/Paths.h"
#include "schema/Ddl.h"

#include <QDir>
#include <QSaveFile>

#include <iconv.h>

namespace qv::server {

namespace {

enum class Written { Quoted, Plain, YesNo, Null };

Written writtenAs(schema::ColumnType type)
{
    switch (type) {
    case schema::ColumnType::Text:
    case schema::ColumnType::Memo:
    case schema::ColumnType::Date:
    case schema::ColumnType::DateTime:
        return Written::Quoted;
    case schema::ColumnType::YesNo:
        return Written::YesNo;
    case schema::ColumnType::Blob:
        return Written::Null;
    default:
        return Written::Plain;
    }
}

Written writtenAs(db::ValueKind kind)
{
    switch (kind) {
    case db::ValueKind::Text:
    case db::ValueKind::DateTime:
        return Written::Quoted;
    case db::ValueKind::Bool:
        return Written::YesNo;
    case db::ValueKind::Blob:
        return Written::Null;
    default:
        return Written::Plain;
    }
}

QString literal(const db::Value &value, Written how)
{
    if (db::isNull(value) || how == Written::Null)
        return QStringLiteral("Null");
    switch (how) {
    case Written::Quoted: {
        QString text = value.typeId() == QMetaType::QDateTime ? common::toDateText(value.toDateTime())
                                                              : value.toString();
        text.replace(QLatin1Char('\''), QStringLiteral("''"));
        return QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    case Written::YesNo:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        if (value.typeId() == QMetaType::Double)
            return QString::number(value.toDouble(), 'g', 17);
        return value.toString();
    }
}

// Memo text may hold line breaks; one statement must stay on one line.
QString oneLine(QString statement)
{
    statement.replace(QStringLiteral("\r\n"), QStringLiteral("' & chr(13) & chr(10) & '"));
    statement.replace(QLatin1Char('\n'), QStringLiteral("' & chr(10) & '"));
    statement.replace(QLatin1Char('\r'), QStringLiteral("' & chr(13) & '"));
    return statement;
}

} // namespace

bool isSkippedByBackup(const QString &table)
{
    return table.contains(QLatin1String("MSys")) || table.contains(QLatin1String("rpt_"))
           || table.contains(QLatin1String("vi_")) || table == QLatin1String("QY3") || table == QLatin1String("QY1");
}

QString backupFolder(const QString &programFolder)
{
    common::IniFile ini(common::joinPath(programFolder, u"BackInfo.ini"));
    QString dir = ini.readString(u"Back", u"Dir");
    if (dir.isEmpty())
        dir = common::joinPath(programFolder, u"backup");
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString backupFileName(const QString &folder, const QDateTime &when)
{
    QDir().mkdir(folder); // one level, as the folder setting promises nothing more
    return folder + when.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral("_备份数据.txt");
}

namespace {

// Converts between UTF-8 and GB 18030 a piece at a time.
class Gb18030 {
public:
    explicit Gb18030(bool encode)
        : m_cd(encode ? iconv_open("GB18030", "UTF-8") : iconv_open("UTF-8", "GB18030"))
    {
    }
    ~Gb18030()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Gb18030(const Gb18030 &) = delete;
    Gb18030 &operator=(const Gb18030 &) = delete;
    bool valid() const { return m_cd != iconv_t(-1); }

    std::optional<QByteArray> convert(QByteArray in)
    {
        QByteArray out(in.size() * 2 + 16, Qt::Uninitialized);
        char *src = in.data();
        size_t srcLeft = size_t(in.size());
        char *dst = out.data();
        size_t dstLeft = size_t(out.size());
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1))
            return std::nullopt;
        out.truncate(out.size() - qsizetype(dstLeft));
        return out;
    }

private:
    iconv_t m_cd;
};

class BackupWriter {
public:
    BackupWriter(db::Connection &connection, const schema::Schema &schema, QSaveFile &file)
        : m_connection(connection), m_schema(schema), m_file(file), m_encoder(true)
    {
    }

    bool writeTable(const QString &name, QString *error)
    {
        const schema::Table *known = m_schema.table(name);
        const QString table = known ? known->name : name;
        // A table of the schema is spelled as its script created it (PostgreSQL
        // folds the names); any other as the catalogue gave it.
        const QString engineTable = known ? schema::engineName(table, m_connection.traits().engine == db::Engine::Postgres
                                                                          ? schema::DdlEngine::Postgres
                                                                          : schema::DdlEngine::Sqlite)
                                          : m_connection.traits().quoteIdentifier(name);
        auto cursor = m_connection.openCursor(QStringLiteral("select * from ") + engineTable);
        if (!cursor) {
            *error = m_connection.lastError().text();
            return false;
        }
        QString head;
        QList<Written> how;
        QList<db::Row> rows;
        while (!cursor->atEnd()) {
            rows.clear();
            if (!cursor->fetch(2000, rows)) {
                *error = cursor->lastError().text();
                return false;
            }
            if (rows.isEmpty())
                break;
            QString text;
            if (head.isEmpty()) {
                head = insertHead(table, known, cursor->columns(), how);
                text += QStringLiteral("delete from ") + table + QStringLiteral("\r\n");
            }
            for (const db::Row &row : std::as_const(rows)) {
                QStringList values;
                for (qsizetype c = 0; c < row.size(); ++c)
                    values << literal(row[c], how.value(c, Written::Null));
                text += oneLine(head + values.join(QLatin1Char(',')) + QStringLiteral(") ")) + QStringLiteral("\r\n\r\n");
            }
            if (!put(text, error))
                return false;
        }
        return true;
    }

    bool encoderReady() const { return m_encoder.valid(); }

private:
    static QString insertHead(const QString &table, const schema::Table *known, const QList<db::ColumnInfo> &columns,
                              QList<Written> &how)
    {
        QStringList names;
        for (const db::ColumnInfo &column : columns) {
            const schema::Column *declared = known ? known->column(column.name) : nullptr;
            names << (declared ? declared->name : column.name);
            how << (declared ? writtenAs(declared->type) : writtenAs(column.kind));
        }
        return QStringLiteral("insert into ") + table + QLatin1Char('(') + names.join(QLatin1Char(','))
               + QStringLiteral(") Values(");
    }

    bool put(const QString &text, QString *error)
    {
        const auto bytes = m_encoder.convert(text.toUtf8());
        if (!bytes) {
            *error = QStringLiteral("the text cannot be written in code page 936");
            return false;
        }
        if (m_file.write(*bytes) != bytes->size()) {
            *error = m_file.errorString();
            return false;
        }
        return true;
    }

    db::Connection &m_connection;
    const schema::Schema &m_schema;
    QSaveFile &m_file;
    Gb18030 m_encoder;
};

} // namespace

bool writeBackup(db::Connection &connection, const QStringList &tables, const schema::Schema &schema,
                 const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    BackupWriter writer(connection, schema, file);
    if (!writer.encoderReady()) {
        *error = QStringLiteral("code page 936 is not available");
        return false;
    }
    for (const QString &table : tables) {
        if (!isSkippedByBackup(table) && !writer.writeTable(table, error))
            return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

QString readBackupFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    Gb18030 decoder(false);
    const auto bytes = decoder.convert(file.readAll());
    return bytes ? QString::fromUtf8(*bytes) : QString();
}

} // namespace qv::server
