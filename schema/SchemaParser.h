// Reads the line-based schema text into tables and datasets.
#pragma once

#include "schema/Schema.h"

#include <QHash>

namespace qv::schema {

class SchemaParser {
public:
    bool parse(const QString &text);
    QString error() const { return m_error; }
    QList<Table> takeTables() { return std::move(m_tables); }
    QList<Dataset> takeDatasets() { return std::move(m_datasets); }

private:
    enum class Block { None, ColumnSet, Table, Dataset };

    bool fail(const QString &message);
    bool startColumnSet(const QStringList &words);
    bool startTable(const QStringList &words);
    bool startDataset(const QStringList &words);
    bool tableLine(const QStringList &words);
    bool parseColumn(const QStringList &words, Column &column);
    bool useColumnSet(const QStringList &words);
    bool addIndex(const QStringList &words);
    void putColumn(const Column &column);
    bool finishBlock();
    bool closeBlock();
    bool finishTable();
    bool checkDatasets();

    QList<Table> m_tables;
    QList<Dataset> m_datasets;
    QHash<QString, QList<Column>> m_columnSets;
    QHash<QString, QList<Index>> m_setIndexes;
    Block m_block = Block::None;
    QString m_setName;
    Table m_table;
    Dataset m_dataset;
    int m_line = 0;
    int m_blockLine = 0;
    QList<int> m_datasetLines;
    QString m_error;
};

} // namespace qv::schema
