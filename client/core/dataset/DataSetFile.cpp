// DataSet: saving rows and pending changes to a local file and loading them.
#include "client/core/dataset/DataSet.h"

#include "client/core/dataset/CdsFile.h"

namespace qv::client {

bool DataSet::saveToFile(const QString &path)
{
    clearError();
    if (!checkActive(QStringLiteral("save")) || !checkBrowseMode())
        return false;
    CdsContent content;
    content.fields = m_fields.dataDefs();
    for (const RecordPtr &r : m_store.records()) {
        CdsRow row;
        row.values = r->values;
        if (const Change *c = m_log.find(r->id)) {
            switch (c->kind) {
            case ChangeKind::Insert:
                row.status = CdsRow::Status::Inserted;
                break;
            case ChangeKind::Modify:
                row.status = CdsRow::Status::Modified;
                row.original = c->original;
                break;
            case ChangeKind::Delete:
                row.status = CdsRow::Status::Deleted;
                row.original = c->original;
                break;
            }
        }
        content.rows << row;
    }
    QString error;
    if (!CdsFile::write(path, content, &error))
        return fail(QStringLiteral("save"), error);
    return true;
}

bool DataSet::loadFromFile(const QString &path)
{
    clearError();
    QString error;
    const auto content = CdsFile::read(path, &error);
    if (!content)
        return fail(QStringLiteral("load"), error);

    // The file must hold the fields this dataset has (by name and type, in any
    // order); a dataset without fields takes the file's.
    FieldDefs defs = m_fields.dataDefs();
    QList<int> fromFile; // for each of our data fields, its position in the file
    if (defs.isEmpty()) {
        defs = content->fields;
        for (qsizetype i = 0; i < defs.size(); ++i)
            fromFile << int(i);
    } else {
        if (defs.size() != content->fields.size())
            return fail(QStringLiteral("load"), QStringLiteral("文件的字段与数据集不一致"));
        for (const FieldDef &mine : defs) {
            int found = -1;
            for (qsizetype i = 0; i < content->fields.size(); ++i) {
                const FieldDef &theirs = content->fields[i];
                if (theirs.name.compare(mine.name, Qt::CaseInsensitive) == 0 && theirs.type == mine.type)
                    found = int(i);
            }
            if (found < 0)
                return fail(QStringLiteral("load"), QStringLiteral("文件的字段与数据集不一致"), mine.name);
            fromFile << found;
        }
    }
    auto reorder = [&fromFile](const QVariantList &values) {
        RowValues out;
        out.reserve(fromFile.size());
        for (int i : fromFile)
            out << values.value(i);
        return out;
    };

    if (isEditing()) {
        discardEdit();
        setState(DataSetState::Browse);
    }
    const bool wasActive = isActive();
    if (wasActive && !m_allFetched && m_source)
        m_source->closeCursor(m_cursor);

    OpenResult result;
    result.ok = true;
    result.fields = defs;
    result.endOfData = true;
    return finishOpen(result, !wasActive, 0, [&] {
        for (const CdsRow &row : content->rows) {
            RecordPtr record = makeRecord(reorder(row.values));
            m_store.append(record);
            switch (row.status) {
            case CdsRow::Status::Unmodified:
                break;
            case CdsRow::Status::Inserted:
                m_log.restore(ChangeKind::Insert, record, {});
                break;
            case CdsRow::Status::Modified:
                m_log.restore(ChangeKind::Modify, record, makeRecord(reorder(row.original))->values);
                break;
            case CdsRow::Status::Deleted:
                record->deleted = true;
                m_log.restore(ChangeKind::Delete, record, makeRecord(reorder(row.original))->values);
                break;
            }
            recalc(record.get());
        }
    });
}

} // namespace qv::client
