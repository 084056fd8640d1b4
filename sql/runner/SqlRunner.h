// Statements of the original dialect run on a real database: translated, the
// databases they name attached, executed, and their values given back in one
// form whatever the engine (yes/no as bool, dates as QDateTime, numbers as the
// translation types them). The server's gate, the upgrade tool and qvsql all
// run statements through here.
#pragma once

#include "db/ConnectionFactory.h"
#include "sql/Translator.h"

#include <memory>
#include <optional>

namespace qv::sql {

struct RunError {
    enum class Stage { Open, Translate, Attach, Execute };
    Stage stage = Stage::Execute;
    TranslateError translation; // Stage::Translate
    db::Error engine;           // the other stages
    // The text a client is shown: the translation error with its place, or the
    // engine's message.
    QString text() const;
};

struct RunColumn {
    QString name;        // as the original engine names it
    SqlType type = SqlType::Unknown;
    QString originTable; // a stored table's column passed through unchanged
    QString originColumn;
};

struct RunResult {
    QList<RunColumn> columns;
    QList<db::Row> rows;
};

// Rows of a query read a packet at a time.
class RunCursor {
public:
    RunCursor(std::unique_ptr<db::Cursor> cursor, QList<RunColumn> columns);
    const QList<RunColumn> &columns() const { return m_columns; }
    bool fetch(int maxRows, QList<db::Row> &rows, RunError *error);
    bool atEnd() const;
    void close();

private:
    std::unique_ptr<db::Cursor> m_cursor;
    QList<RunColumn> m_columns;
    QList<db::Row> m_buffered; // rows read whole (statements naming other files)
    bool m_fromBuffer = false;
    friend class SqlRunner;
};

class SqlRunner {
public:
    // Opens the database and installs the dialect's function library: on
    // SQLite on the connection itself, on PostgreSQL into the database once
    // (again when the library has changed).
    static std::unique_ptr<SqlRunner> open(db::ConnectionDescriptor descriptor, Translator &translator,
                                           RunError *error);
    SqlRunner(std::unique_ptr<db::Connection> connection, Translator &translator);

    db::Connection &connection() { return *m_connection; }
    Translator &translator() { return m_translator; }
    Engine engine() const;

    std::optional<TranslateResult> translate(QStringView sql, RunError *error);
    // A statement without rows: the rows it changed.
    std::optional<qint64> execute(QStringView sql, RunError *error);
    // A query read whole.
    std::optional<RunResult> query(QStringView sql, RunError *error);
    // A query read in packets; nullptr on failure.
    std::unique_ptr<RunCursor> openCursor(QStringView sql, RunError *error);
    // Any statement: a query's rows, or for other statements no columns and
    // the changed-row count in rowsAffected.
    std::optional<RunResult> run(QStringView sql, RunError *error, qint64 *rowsAffected = nullptr);

    // Brings engine values to the one form of the column types.
    static void normalise(db::Row &row, const QList<RunColumn> &columns);

private:
    bool attach(const TranslateResult &translation, RunError *error);
    void detach(const TranslateResult &translation);
    QList<RunColumn> columnsOf(const TranslateResult &translation, const QList<db::ColumnInfo> &engineColumns) const;
    bool engineFailure(RunError *error, const db::Error &engineError, RunError::Stage stage = RunError::Stage::Execute);

    std::unique_ptr<db::Connection> m_connection;
    Translator &m_translator;
};

// The dialect's type of a value kind an engine reports for a column; Unknown
// when the engine gave none (ValueKind::Null).
SqlType typeOfKind(db::ValueKind kind);

// Installs or refreshes the PostgreSQL function library in the database.
bool installPostgresFunctions(db::Connection &connection, db::Error *error);

// Moves the numbering of every autonumber column of the catalog past the
// largest value stored, after rows were written with their own numbers by
// other means (the template builder, a bulk copy). Nothing to do on SQLite.
bool syncIdentityColumns(db::Connection &connection, const Catalog &catalog, db::Error *error);

} // namespace qv::sql
