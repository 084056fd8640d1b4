// Where a dataset's rows come from and where its changes go: in the client, the
// application server behind the connection; in tests, MemoryDataSource.
//
// Every call answers with a result; `ok` false means the call itself failed (the
// connection is gone, the provider is unknown) and `error` says why. Rows are
// lists of values in the order of the field definitions (see FieldType.h for
// the value forms). Fields flagged BlobOnDemand are null in row packets until
// fetchBlobs() reads them for one row.
#pragma once

#include "client/core/dataset/ChangeLog.h"
#include "client/core/dataset/FieldDef.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace qv::client {

using RowValues = QVariantList;

struct OpenRequest {
    QString provider;    // the server's published dataset ("pLL")
    QString commandText; // a statement for the providers that accept one; else empty
    int packetSize = 2000;
};

struct OpenResult {
    bool ok = false;
    QString error;
    int cursor = 0; // names the open cursor in fetch() and closeCursor()
    FieldDefs fields;
    QList<RowValues> rows; // the first packet
    bool endOfData = true;
};

struct FetchResult {
    bool ok = false;
    QString error;
    QList<RowValues> rows;
    bool endOfData = true;
};

// One changed row of a change packet.
struct ChangeRow {
    int index = 0; // position in the packet; failures and saved rows refer to it
    ChangeKind kind = ChangeKind::Modify;
    RowValues oldValues;      // the row as the server gave it (modify, delete)
    RowValues newValues;      // the row as the client has it now (insert, modify)
    QList<int> changedFields; // field positions whose value changed (modify)
};

struct ChangePacket {
    QString provider;
    FieldDefs fields;
    QList<ChangeRow> rows;
};

struct RowFailure {
    int index = 0;
    ChangeKind kind = ChangeKind::Modify;
    QString message;
    // The row as the server has it now, when it has one (for "refresh").
    bool serverHasRow = false;
    RowValues serverValues;
};

struct SavedRow {
    int index = 0;
    RowValues values; // as stored (generated keys filled in); empty for a delete
};

// The server applies the packet in one transaction. When the failures exceed
// maxErrors (maxErrors >= 0) it rolls everything back: `saved` is then empty and
// nothing was applied. With maxErrors -1 every row that succeeds is kept. A
// change that appears neither in `saved` nor in `failures` was not applied.
struct ApplyResult {
    bool ok = false;
    QString error;
    int errorCount = 0;
    QList<RowFailure> failures;
    QList<SavedRow> saved;
};

struct ExecResult {
    bool ok = false;
    QString error;
    qint64 rowsAffected = 0;
};

struct BlobResult {
    bool ok = false;
    QString error;
    QVariantMap values; // field name → value, for the blob-on-demand fields
};

class DataSource {
public:
    virtual ~DataSource();

    virtual OpenResult open(const OpenRequest &request) = 0;
    virtual FetchResult fetch(int cursor, int count) = 0;
    // Releases a cursor the dataset no longer reads (closed before the end).
    virtual void closeCursor(int cursor) = 0;
    virtual ApplyResult applyUpdates(const ChangePacket &packet, int maxErrors) = 0;
    virtual ExecResult execute(const QString &provider, const QString &statement) = 0;
    // The blob-on-demand fields of the row with this key (row-key fields in
    // field order).
    virtual BlobResult fetchBlobs(const QString &provider, const RowValues &rowKey) = 0;

protected:
    DataSource() = default;
};

} // namespace qv::client
