// Initial rows kept as text beside the schema: blocks of tab-separated values
// under a "rows TABLE COL,COL" line. The values are typed by the schema.
#pragma once

#include "schema/Schema.h"

#include <QVariant>

namespace qv::schema {

struct RowsBlock {
    const Table *table = nullptr;
    QList<const Column *> columns;
    QList<QVariantList> rows;   // typed: null, qint64, double, QString, bool, QDateTime
    int line = 0;               // where the block starts, for messages
};

class RowsFile {
public:
    // Reads the text against a schema; on failure returns false and error says
    // "NAME:LINE: message".
    bool parse(const QString &text, const Schema &schema, const QString &fileName);
    // Reads one of the files built into the program (":/qv/schema/<name>").
    bool parseBuiltIn(const QString &name, const Schema &schema);

    const QList<RowsBlock> &blocks() const { return m_blocks; }
    QString error() const { return m_error; }

private:
    bool fail(const QString &fileName, int line, const QString &message);

    QList<RowsBlock> m_blocks;
    QString m_error;
};

// Converts one value of the text form into the column's typed value.
bool rowValue(const Column &column, const QString &text, QVariant &out, QString *error);

} // namespace qv::schema
