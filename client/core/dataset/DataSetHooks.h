// The events a window hooks on a dataset, as one table it can save and restore
// whole: a window that borrows a shared dataset takes the hooks it finds when it
// opens and puts them back when it closes (ScopedHooks does both).
//
// A Guard runs before an operation and stops it by returning false; it may give
// the reason through DataSet::setAbortMessage(), which becomes lastError().
// Events run after the operation. The engine never shows a message: texts a user
// must read come from the window (requiredMessage, the reconcile handler).
//
// Order of the events (what the window sees):
//   open    beforeOpen, stateChange, afterOpen, afterScroll (rows present), dataChange
//   close   beforeClose, stateChange, afterClose
//   insert  beforeInsert, beforeScroll, stateChange, newRecord, dataChange,
//           afterInsert, afterScroll                        (append the same)
//   edit    beforeEdit, stateChange, dataChange, afterEdit
//   set     dataChange(field)     (edit first when browsing; calcFields before)
//   post    beforePost, [required fields], stateChange, dataChange, afterPost
//   cancel  beforeCancel, stateChange, dataChange, afterCancel
//   delete  beforeDelete, beforeScroll, [stateChange], dataChange, afterDelete,
//           afterScroll
//   move    [post or cancel the edit], beforeScroll, afterScroll, dataChange
#pragma once

#include "client/core/dataset/ChangeLog.h"

#include <QString>
#include <QVariant>

#include <functional>

namespace qv::client {

class DataSet;
class Field;

enum class DataSetState : quint8 { Inactive, Browse, Edit, Insert };

// What to do with a row the server refused.
enum class ReconcileAction : quint8 {
    Skip,    // keep the change pending; try again with the next apply
    Cancel,  // drop the change: the row goes back to the server's values
    Correct, // keep the change with the values the handler put into newValues
    Refresh, // take the row as the server has it now (gone when it has none)
};

struct ReconcileError {
    ChangeKind kind = ChangeKind::Modify;
    QString message;        // the server's text
    int row = -1;           // position of the row in the dataset; -1 for a deleted row
    QVariantList oldValues; // the row as the server gave it
    QVariantList newValues; // the row as the client has it; a handler may correct it
    bool serverHasRow = false;
    QVariantList serverValues;
};

struct DataSetHooks {
    using Guard = std::function<bool(DataSet &)>;
    using Event = std::function<void(DataSet &)>;

    Guard beforeOpen;
    Event afterOpen;
    Guard beforeClose;
    Event afterClose;
    Guard beforeInsert;
    Event afterInsert;
    Guard beforeEdit;
    Event afterEdit;
    Guard beforePost;
    Event afterPost;
    Guard beforeCancel;
    Event afterCancel;
    Guard beforeDelete;
    Event afterDelete;
    Guard beforeScroll;
    Event afterScroll;
    Event newRecord;
    // Sets the calculated fields of the row being read (its other fields read
    // from that row; only calculated fields accept values meanwhile).
    Event calcFields;
    std::function<void(DataSet &, DataSetState)> stateChange;
    // A field of the current row changed (field given) or the row itself
    // changed or moved (nullptr).
    std::function<void(DataSet &, Field *)> dataChange;
    // Takes over the text typed into any field of the dataset.
    std::function<bool(Field &, const QString &)> setText;
    Guard beforeApplyUpdates;
    Event afterApplyUpdates;
    // Decides about each row the server refused; Skip when unset.
    std::function<ReconcileAction(DataSet &, ReconcileError &)> reconcileError;
    // The text of the failure when a required field is empty; the engine's
    // default is "'" + label + "'未录入, 请继续录入!".
    std::function<QString(const Field &)> requiredMessage;
};

// Saves the dataset's hooks when created and restores them when destroyed.
class ScopedHooks {
public:
    explicit ScopedHooks(DataSet &dataSet);
    ~ScopedHooks();
    ScopedHooks(const ScopedHooks &) = delete;
    ScopedHooks &operator=(const ScopedHooks &) = delete;

    const DataSetHooks &saved() const { return m_saved; }

private:
    DataSet &m_dataSet;
    DataSetHooks m_saved;
};

} // namespace qv::client
