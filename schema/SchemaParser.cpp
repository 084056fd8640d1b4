#include "schema/SchemaParser.h"

#include <QRegularExpression>

namespace qv::schema {

namespace {

const QHash<QString, ColumnType> &typeNames()
{
    static const QHash<QString, ColumnType> names = {
        {QStringLiteral("text"), ColumnType::Text},
        {QStringLiteral("integer"), ColumnType::Integer},
        {QStringLiteral("smallint"), ColumnType::SmallInt},
        {QStringLiteral("autonumber"), ColumnType::AutoNumber},
        {QStringLiteral("double"), ColumnType::Double},
        {QStringLiteral("decimal"), ColumnType::Decimal},
        {QStringLiteral("currency"), ColumnType::Currency},
        {QStringLiteral("date"), ColumnType::Date},
        {QStringLiteral("datetime"), ColumnType::DateTime},
        {QStringLiteral("yesno"), ColumnType::YesNo},
        {QStringLiteral("memo"), ColumnType::Memo},
        {QStringLiteral("blob"), ColumnType::Blob},
    };
    return names;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitList(const QString &text)
{
    QStringList items = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &item : items)
        item = item.trimmed();
    return items;
}

} // namespace

bool SchemaParser::fail(const QString &message)
{
    m_error = QStringLiteral("line %1: %2").arg(m_line).arg(message);
    return false;
}

bool SchemaParser::parse(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        ++m_line;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const bool indented = raw.front().isSpace();
        if (indented && m_block == Block::Dataset) {
            // Statement text: lines are joined with one blank.
            if (!m_dataset.statement.isEmpty())
                m_dataset.statement += QLatin1Char(' ');
            m_dataset.statement += line;
            continue;
        }
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (indented) {
            if (m_block != Block::Table && m_block != Block::ColumnSet)
                return fail(QStringLiteral("indented line outside a table"));
            if (!tableLine(words))
                return false;
            continue;
        }
        if (!finishBlock())
            return false;
        const QString keyword = words.first();
        bool ok = false;
        if (keyword == QLatin1String("table"))
            ok = startTable(words);
        else if (keyword == QLatin1String("columns"))
            ok = startColumnSet(words);
        else if (keyword == QLatin1String("dataset"))
            ok = startDataset(words);
        else
            return fail(QStringLiteral("unknown keyword \"%1\"").arg(keyword));
        if (!ok)
            return false;
    }
    ++m_line;
    if (!finishBlock())
        return false;
    return checkDatasets();
}

bool SchemaParser::checkDatasets()
{
    for (qsizetype i = 0; i < m_datasets.size(); ++i) {
        Dataset &d = m_datasets[i];
        m_line = m_datasetLines[i];
        if (d.baseTable.isEmpty())
            continue;
        const auto table = std::find_if(m_tables.cbegin(), m_tables.cend(),
                                        [&d](const Table &t) { return sameName(t.name, d.baseTable); });
        if (table == m_tables.cend())
            return fail(QStringLiteral("dataset %1: base table %2 does not exist").arg(d.name, d.baseTable));
        d.baseTable = table->name;
    }
    return true;
}

bool SchemaParser::startColumnSet(const QStringList &words)
{
    if (words.size() != 2)
        return fail(QStringLiteral("expected: columns NAME"));
    if (m_columnSets.contains(words[1]))
        return fail(QStringLiteral("column set %1 defined twice").arg(words[1]));
    m_block = Block::ColumnSet;
    m_blockLine = m_line;
    m_setName = words[1];
    m_table = Table();
    return true;
}

bool SchemaParser::startTable(const QStringList &words)
{
    if (words.size() < 2)
        return fail(QStringLiteral("expected: table NAME"));
    m_table = Table();
    m_table.name = words[1];
    bool noPrimaryKey = false;
    for (int i = 2; i < words.size(); ++i) {
        if (words[i] == QLatin1String("registry")) {
            m_table.database = Database::Registry;
        } else if (words[i] == QLatin1String("nopk")) {
            noPrimaryKey = true;
        } else if (words[i] == QLatin1String("key") && i + 1 < words.size()) {
            m_table.rowKey = splitList(words[++i]);
        } else {
            return fail(QStringLiteral("unknown table option \"%1\"").arg(words[i]));
        }
    }
    m_table.primaryKey = !noPrimaryKey && m_table.rowKey.size() == 1;
    m_block = Block::Table;
    m_blockLine = m_line;
    return true;
}

bool SchemaParser::startDataset(const QStringList &words)
{
    if (words.size() < 2)
        return fail(QStringLiteral("expected: dataset NAME"));
    m_dataset = Dataset();
    m_dataset.name = words[1];
    m_dataset.component = m_dataset.name.startsWith(QLatin1Char('p')) ? m_dataset.name.mid(1)
                                                                      : m_dataset.name;
    for (int i = 2; i < words.size(); ++i) {
        const QString &w = words[i];
        const bool hasValue = i + 1 < words.size();
        if (w == QLatin1String("report")) {
            m_dataset.module = Module::Report;
        } else if (w == QLatin1String("registry")) {
            m_dataset.connection = Connection::Registry;
        } else if (w == QLatin1String("base") && hasValue) {
            m_dataset.baseTable = words[++i];
        } else if (w == QLatin1String("component") && hasValue) {
            m_dataset.component = words[++i];
        } else if (w == QLatin1String("rule") && hasValue) {
            const QString rule = words[++i];
            if (rule == QLatin1String("all"))
                m_dataset.rule = UpdateRule::All;
            else if (rule == QLatin1String("changed"))
                m_dataset.rule = UpdateRule::Changed;
            else if (rule == QLatin1String("keyonly"))
                m_dataset.rule = UpdateRule::KeyOnly;
            else
                return fail(QStringLiteral("unknown update rule \"%1\"").arg(rule));
        } else {
            return fail(QStringLiteral("unknown dataset option \"%1\"").arg(w));
        }
    }
    m_block = Block::Dataset;
    m_blockLine = m_line;
    return true;
}

bool SchemaParser::tableLine(const QStringList &words)
{
    if (words.first() == QLatin1String("use"))
        return useColumnSet(words);
    if (words.first() == QLatin1String("index"))
        return addIndex(words);
    Column column;
    if (!parseColumn(words, column))
        return false;
    putColumn(column);
    return true;
}

bool SchemaParser::parseColumn(const QStringList &words, Column &column)
{
    if (words.size() < 2)
        return fail(QStringLiteral("expected: COLUMN TYPE [flags]"));
    column.name = words[0];
    static const QRegularExpression typeRe(QStringLiteral("^([a-z]+)(?:\\((\\d+)(?:,(\\d+))?\\))?$"));
    const auto match = typeRe.match(words[1]);
    if (!match.hasMatch() || !typeNames().contains(match.captured(1)))
        return fail(QStringLiteral("unknown type \"%1\"").arg(words[1]));
    column.type = typeNames().value(match.captured(1));
    column.size = match.captured(2).toInt();
    column.scale = match.captured(3).toInt();
    if (column.type == ColumnType::Text && column.size <= 0)
        return fail(QStringLiteral("text column %1 needs a size").arg(column.name));
    for (int i = 2; i < words.size(); ++i) {
        const QString &flag = words[i];
        if (flag == QLatin1String("locate"))
            column.role = ColumnRole::Locating;
        else if (flag == QLatin1String("readonly"))
            column.role = ColumnRole::ReadOnly;
        else if (flag == QLatin1String("fixed"))
            column.fixedLength = true;
        else if (flag == QLatin1String("spare"))
            column.spare = true;
        else
            return fail(QStringLiteral("unknown column flag \"%1\"").arg(flag));
    }
    if (column.fixedLength && column.type != ColumnType::Text)
        return fail(QStringLiteral("only text columns have a fixed length"));
    return true;
}

// A later definition of a column replaces the earlier one in place, so a table
// can take a column set and then narrow or widen single columns of it.
void SchemaParser::putColumn(const Column &column)
{
    for (Column &existing : m_table.columns) {
        if (sameName(existing.name, column.name)) {
            existing = column;
            return;
        }
    }
    m_table.columns.append(column);
}

bool SchemaParser::useColumnSet(const QStringList &words)
{
    if (words.size() < 2 || !m_columnSets.contains(words[1]))
        return fail(QStringLiteral("unknown column set \"%1\"").arg(words.value(1)));
    QStringList except;
    if (words.size() == 4 && words[2] == QLatin1String("except"))
        except = splitList(words[3]);
    else if (words.size() != 2)
        return fail(QStringLiteral("expected: use SET [except C,C]"));
    const auto excluded = [&except](const QString &name) {
        return std::any_of(except.cbegin(), except.cend(),
                           [&name](const QString &e) { return sameName(e, name); });
    };
    const QList<Column> &set = m_columnSets.value(words[1]);
    for (const QString &e : except) {
        if (std::none_of(set.cbegin(), set.cend(), [&e](const Column &c) { return sameName(c.name, e); }))
            return fail(QStringLiteral("column set %1 has no column %2").arg(words[1], e));
    }
    for (const Column &c : set) {
        if (!excluded(c.name))
            putColumn(c);
    }
    for (const Index &index : m_setIndexes.value(words[1])) {
        if (std::none_of(index.columns.cbegin(), index.columns.cend(), excluded))
            m_table.indexes.append(index);
    }
    return true;
}

bool SchemaParser::addIndex(const QStringList &words)
{
    if (words.size() < 2 || words.size() > 3
        || (words.size() == 3 && words[2] != QLatin1String("unique")))
        return fail(QStringLiteral("expected: index C[,C] [unique]"));
    Index index;
    index.columns = splitList(words[1]);
    index.unique = words.size() == 3;
    m_table.indexes.append(index);
    return true;
}

bool SchemaParser::finishBlock()
{
    // Errors found when a block closes are reported at the block's first line.
    const int current = m_line;
    m_line = m_blockLine;
    const bool ok = closeBlock();
    m_line = current;
    return ok;
}

bool SchemaParser::closeBlock()
{
    const Block block = m_block;
    m_block = Block::None;
    switch (block) {
    case Block::None:
        return true;
    case Block::ColumnSet:
        m_columnSets.insert(m_setName, m_table.columns);
        m_setIndexes.insert(m_setName, m_table.indexes);
        return true;
    case Block::Table:
        return finishTable();
    case Block::Dataset:
        for (const Dataset &d : std::as_const(m_datasets)) {
            if (sameName(d.name, m_dataset.name))
                return fail(QStringLiteral("dataset %1 defined twice").arg(d.name));
        }
        m_datasets.append(m_dataset);
        m_datasetLines.append(m_blockLine);
        return true;
    }
    return true;
}

bool SchemaParser::finishTable()
{
    Table &t = m_table;
    for (const Table &other : std::as_const(m_tables)) {
        if (sameName(other.name, t.name))
            return fail(QStringLiteral("table %1 defined twice").arg(t.name));
    }
    if (t.columns.isEmpty())
        return fail(QStringLiteral("table %1 has no columns").arg(t.name));
    for (QString &key : t.rowKey) {
        Column *c = nullptr;
        for (Column &candidate : t.columns) {
            if (sameName(candidate.name, key))
                c = &candidate;
        }
        if (!c)
            return fail(QStringLiteral("table %1: key column %2 does not exist").arg(t.name, key));
        key = c->name;
        c->role = ColumnRole::RowKey;
    }
    if (t.primaryKey) {
        const ColumnType type = t.column(t.rowKey.first())->type;
        t.primaryKey = type == ColumnType::Integer || type == ColumnType::AutoNumber
                       || type == ColumnType::SmallInt;
    }
    for (Index &index : t.indexes) {
        for (QString &name : index.columns) {
            const Column *c = t.column(name);
            if (!c)
                return fail(QStringLiteral("table %1: index column %2 does not exist").arg(t.name, name));
            name = c->name;
        }
        index.name = QStringLiteral("ix_%1_%2").arg(t.name, index.columns.join(QLatin1Char('_')));
    }
    m_tables.append(t);
    return true;
}

} // namespace qv::schema
