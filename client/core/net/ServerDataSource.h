// The rows of a client dataset from the application server, and its changes back
// to it, over one ServerConnection: the DataSource every shared dataset of the
// client uses.
//
// It translates between the wire and the dataset engine: the server's field
// metadata becomes field definitions (a computed column of no settled type takes
// the type of the values in its first packet), blob and memo columns arrive as
// null until fetched for one row, and a change packet goes out as the wire's
// inserted / modified / deleted lists and comes back as failures and saved rows
// in the dataset's own numbering.
#pragma once

#include "client/core/dataset/DataSource.h"
#include "client/core/net/ServerConnection.h"

#include "protocol/DatasetOperations.h"

#include <QHash>

namespace qv::client {

// A dataset change packet in the wire's form, with the way back from the wire's
// (kind, index) pairs to the dataset's row indexes.
struct WirePacket {
    protocol::ChangePacket packet;
    QList<int> insertedRows; // wire index -> dataset packet index
    QList<int> modifiedRows;
    QList<int> deletedRows;
    QList<ChangeRow> rows; // the dataset's rows, by dataset packet index
};

class ServerDataSource : public DataSource {
public:
    explicit ServerDataSource(ServerConnection &connection);
    ~ServerDataSource() override;

    ServerConnection &connection() const { return m_connection; }

    OpenResult open(const OpenRequest &request) override;
    FetchResult fetch(int cursor, int count) override;
    void closeCursor(int cursor) override;
    ApplyResult applyUpdates(const ChangePacket &packet, int maxErrors) override;
    ExecResult execute(const QString &provider, const QString &statement) override;
    BlobResult fetchBlobs(const QString &provider, const RowValues &rowKey) override;

    // Reads every row of the statement in one call, without a dataset: for
    // computations that walk a whole result (first-in-first-out layers).
    OpenResult openAll(const QString &provider, const QString &statement);

    // The conversions, shared with SaveBatch.
    static FieldDef fieldDef(const protocol::FieldInfo &info);
    static WirePacket toWire(const ChangePacket &packet, int maxErrors);
    static ApplyResult fromWire(const protocol::ApplyUpdatesReply &reply, const WirePacket &sent);
    // The error as a user reads it: the server's text and, for a statement, the
    // place in it.
    static QString errorText(const protocol::ErrorInfo &error);

private:
    OpenResult openWith(const protocol::OpenArgs &args);

    ServerConnection &m_connection;
    QHash<int, FieldDefs> m_cursors;            // open cursor -> its fields
    QHash<QString, FieldDefs> m_providerFields; // upper-case provider -> fields of its last open
};

} // namespace qv::client
