// Saves the pending changes of several datasets, and statements, in one
// transaction of the business connection: all or nothing. A document is saved
// this way, its lines first and then its header, so a failure never leaves
// lines without their header or a header without its lines.
//
//   SaveBatch batch(data.cn());
//   batch.addChanges(*lines);
//   batch.addChanges(*header);
//   const SaveBatch::Result saved = batch.commit();
//   if (!saved.ok) showError(saved.error);
//
// After a commit every dataset has taken its saved rows (keys and values the
// server assigned) and has no pending change left. After a failure nothing was
// written: every dataset keeps its changes pending, and the rows the server
// refused go through the dataset's reconcile hook as after applyUpdates().
//
// Each dataset must read from a ServerDataSource on the same connection.
#pragma once

#include "client/core/net/ServerConnection.h"

#include <QPointer>
#include <QString>

#include <variant>

namespace qv::client {

class DataSet;

class SaveBatch {
public:
    struct Result {
        bool ok = true;
        int failedItem = -1; // the item (in the order added) that failed
        int failedRows = 0;  // rows of that item the server refused
        QString error;
    };

    explicit SaveBatch(ServerConnection &connection);

    // The dataset's pending changes, with the number of failed rows it may have
    // (-1: any) before the whole batch is rolled back. A dataset added twice
    // sends its changes once, in the first place.
    void addChanges(DataSet &dataSet, int maxErrors = 0);
    // A statement that returns no rows (an insert into the ledger, an update).
    void addStatement(const QString &statement);
    int itemCount() const { return int(m_items.size()); }

    // Sends everything in one call. A dataset without pending changes adds no
    // work; a batch with nothing to send succeeds without a call.
    Result commit();

private:
    struct ChangesItem {
        QPointer<DataSet> dataSet;
        int maxErrors = 0;
    };
    using Item = std::variant<ChangesItem, QString>;

    ServerConnection &m_connection;
    QList<Item> m_items;
};

} // namespace qv::client
