// The statement corpus: every statement text the programs send, kept as text
// files beside the tests (tests/sql/corpus/*.sql), one file per area. An entry
// starts with a "-- name: <short name>" line, may carry markers, and its
// statement follows on the next lines:
//
//   -- name: stock on hand at the end of a day
//   -- order: none            rows are compared as a multiset (no ORDER BY, or
//                             one that leaves rows tied)
//   -- expect: empty          a query that rightly returns no rows
//   -- expect: error <text>   the statement must fail, with <text> in the message
//   -- setup                  changes data; later entries of the file see it
//   -- engines: sqlite        run on SQLite only (it names another database file)
//   select sum(flag*sl) as qty From Inv_ItemList where ...
//
// Other lines starting with "--" are comments. The statement keeps its text
// exactly (leading blanks included: the programs send them); a statement over
// several lines is joined with line breaks. "${olddb}" stands for the path of
// another database file, filled in by whoever runs the corpus.
#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace qv::sql::test {

struct CorpusEntry {
    QString file;        // file name without folder, e.g. "stock.sql"
    int line = 0;        // line of the "-- name:" marker
    QString name;
    QString sql;
    bool setup = false;
    bool ordered = true;
    bool expectEmpty = false;
    bool sqliteOnly = false;
    std::optional<QString> expectError; // substring of the error, possibly empty

    // "stock.sql:12 stock on hand at the end of a day"
    QString label() const;
};

// Reads one corpus file; nullopt with "file:line: message" on a malformed file.
std::optional<QList<CorpusEntry>> readCorpusText(const QString &text, const QString &fileName, QString *error);
std::optional<QList<CorpusEntry>> readCorpusFile(const QString &path, QString *error);

// The corpus files of a folder, sorted by name.
QStringList corpusFiles(const QString &folder);

// The folder of the corpus in the source tree.
QString corpusFolder();

} // namespace qv::sql::test
