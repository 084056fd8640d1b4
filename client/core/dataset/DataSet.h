// A client dataset: the rows of one server query held in memory, a cursor over
// them, a state (inactive, browse, edit, insert), the pending changes against
// the server's rows, and the events a window hooks (DataSetHooks).
//
// Rows arrive in packets (2000 rows unless told otherwise): open() reads the
// first packet, and moving past the last row held reads the next one; last(),
// sorting, filtering and append() read everything. Changes are kept locally
// until applyUpdates() sends them in one packet; saveToFile() keeps rows and
// pending changes in a local file that loadFromFile() reads back.
//
// Nothing here throws or shows a message: operations answer false (or a count)
// and lastError() says which operation failed, on which field and row, and why.
//
// Views follow the dataset through its signals (rows inserted and removed, a
// row changed, the cursor moved, the state changed); windows use the hooks.
#pragma once

#include "client/core/dataset/ChangeLog.h"
#include "client/core/dataset/DataSetError.h"
#include "client/core/dataset/DataSetHooks.h"
#include "client/core/dataset/DataSource.h"
#include "client/core/dataset/FieldList.h"
#include "client/core/dataset/Record.h"
#include "client/core/dataset/RowIndex.h"
#include "client/core/dataset/RowStore.h"

#include <QFlags>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qv::client {

class FilterExpression;

enum class UpdateStatus : quint8 { Unmodified, Modified, Inserted, Deleted };

enum class LocateOption : quint8 {
    CaseInsensitive = 0x1,
    PartialKey = 0x2, // text fields match when they start with the value
};
Q_DECLARE_FLAGS(LocateOptions, LocateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(LocateOptions)

// Names a row for as long as the dataset holds it (across sorts and filters).
struct Bookmark {
    quint64 id = 0;
    bool isValid() const { return id != 0; }
    friend bool operator==(const Bookmark &, const Bookmark &) = default;
};

// A dataset's pending changes taken out as one packet, to be sent alone
// (applyUpdates) or with other datasets' packets in one call (SaveBatch), and
// handed back with the server's answer to DataSet::takeAnswer().
class PendingUpdates {
public:
    const ChangePacket &packet() const { return m_packet; }
    bool isEmpty() const { return m_changes.empty(); }

private:
    friend class DataSet;
    ChangePacket m_packet;
    std::vector<Change> m_changes; // copies: the log changes while the answer is taken in
};

class DataSet : public QObject {
    Q_OBJECT

public:
    // Reads the fields of the row under test; true keeps the row.
    using FilterPredicate = std::function<bool(DataSet &)>;

    explicit DataSet(const QString &name = QString(), QObject *parent = nullptr);
    ~DataSet() override;

    // --- set-up ----------------------------------------------------------------
    QString name() const { return objectName(); }
    // The source is not owned; it must outlive the dataset's open periods.
    void setSource(DataSource *source) { m_source = source; }
    DataSource *source() const { return m_source; }
    const QString &providerName() const { return m_provider; }
    void setProviderName(const QString &provider) { m_provider = provider; }
    const QString &commandText() const { return m_commandText; }
    void setCommandText(const QString &text) { m_commandText = text; }
    int packetSize() const { return m_packetSize; }
    void setPacketSize(int rows) { m_packetSize = rows > 0 ? rows : 2000; }
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // --- fields ------------------------------------------------------------------
    const FieldList &fields() const { return m_fields; }
    int fieldCount() const { return m_fields.count(); }
    Field *field(int index) const { return m_fields.at(index); }
    // nullptr when there is no such field (names match without regard to case).
    Field *fieldByName(QStringView name) const { return m_fields.find(name); }
    // The server's definitions of the data fields.
    FieldDefs fieldDefs() const { return m_fields.dataDefs(); }
    // Client fields are added while the dataset is closed; nullptr otherwise or
    // when the name is taken.
    Field *addCalculatedField(const QString &name, FieldType type, int size = 0);
    Field *addLookupField(const QString &name, FieldType type, const LookupSpec &spec, int size = 0);

    // --- hooks -----------------------------------------------------------------
    DataSetHooks &hooks() { return m_hooks; }
    const DataSetHooks &hooks() const { return m_hooks; }
    void setHooks(const DataSetHooks &hooks) { m_hooks = hooks; }
    // The reason a guard gives for stopping an operation.
    void setAbortMessage(const QString &message) { m_abortMessage = message; }

    // --- opening and closing ---------------------------------------------------
    bool open();
    // Pending changes are dropped, as is an unposted edit.
    void close();
    bool isActive() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    // Opens an empty dataset with these fields and no source (a local table).
    bool createDataSet(const FieldDefs &defs);
    // Reads the query again and returns to the same row number; refused while
    // changes are pending.
    bool refresh();

    // --- the cursor ----------------------------------------------------------
    // Each answers true when the cursor moved (or stays where it was asked to be).
    bool first();
    bool last();
    bool next();
    bool prior();
    // Answers the number of rows actually moved (negative backwards).
    int moveBy(int distance);
    bool moveTo(int row);
    int recNo() const { return m_current; }
    // Rows held (fetched and shown through any filter).
    int recordCount() const { return m_view.count(); }
    bool isEmpty() const { return m_view.count() == 0; }
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }

    // --- packets ---------------------------------------------------------------
    bool isAllFetched() const { return m_allFetched; }
    // Reads one more packet; answers the rows added (0 at the end, -1 on failure).
    int fetchMore();
    bool fetchAll();

    // --- editing -----------------------------------------------------------------
    bool append();
    bool insert();
    bool edit();
    bool post();
    bool cancel();
    bool remove();
    // A field was set since edit or insert began (after the new-record defaults).
    bool isModified() const { return m_edit && m_edit->modified; }
    // Posts a changed row, cancels an unchanged one; true when browsing after.
    bool checkBrowseMode();

    // --- pending changes ---------------------------------------------------------
    int changeCount() const { return m_log.count(); }
    UpdateStatus updateStatus() const;
    // Sends the pending changes; answers the number of rows that failed (each
    // handed to the reconcile hook). A failed call counts every pending row.
    int applyUpdates(int maxErrors);
    // The two halves of applyUpdates(), for sending several datasets' changes
    // in one call. takeUpdates() posts an edit, runs beforeApplyUpdates and takes
    // the pending changes (an empty packet when there are none); nullopt with
    // lastError() when a check refuses. takeAnswer() takes in the server's
    // answer exactly as applyUpdates() does (saved rows, refused rows through
    // the reconcile hook, afterApplyUpdates) and answers the failed row count.
    std::optional<PendingUpdates> takeUpdates();
    int takeAnswer(const PendingUpdates &updates, const ApplyResult &result);
    void cancelUpdates();
    // Undoes the pending change of the current row.
    bool revertRecord();
    // Takes the pending changes as the new original rows without sending them.
    void mergeChangeLog();

    // --- finding, filtering, sorting -------------------------------------------
    // `fields` is a list separated by ';'; one value per field.
    bool locate(const QString &fields, const QVariantList &values, LocateOptions options = {});
    // The result field of the first row matching the keys; the cursor stays.
    QVariant lookup(const QString &keyFields, const QVariantList &keyValues,
                    const QString &resultField);
    void setFilter(FilterPredicate predicate);
    // A condition such as "SL > 5 and (MC like 'A%' or BZ is null)".
    bool setFilterText(const QString &expression);
    void clearFilter();
    bool isFiltered() const { return bool(m_filter); }
    const QString &filterText() const { return m_filterText; }
    // "A;B DESC": fields separated by ';', each optionally followed by ASC/DESC.
    bool setSort(const QString &spec);
    bool setSortKeys(const QList<SortKey> &keys);
    void clearSort() { setSortKeys({}); }
    const QList<SortKey> &sortKeys() const { return m_sort; }

    Bookmark bookmark() const;
    bool gotoBookmark(const Bookmark &bookmark);
    bool bookmarkValid(const Bookmark &bookmark) const;

    // --- reading any row without moving (views, sums, exports) ----------------
    QVariant valueAt(int row, const Field &field);
    QString displayTextAt(int row, const Field &field);
    QString textAt(int row, const Field &field);
    // Runs `read` with the row as the active record: the fields read from it.
    void withRecordAt(int row, const std::function<void()> &read);

    // --- the local file ----------------------------------------------------------
    bool saveToFile(const QString &path);
    // Replaces the rows by the file's rows and pending changes. A file of other
    // fields, a foreign or damaged file is refused and the dataset unchanged.
    bool loadFromFile(const QString &path);

    // --- the current row's blobs -----------------------------------------------
    bool fetchBlobs();

    // --- controls ---------------------------------------------------------------
    // While disabled, views do not follow the cursor; enabling resynchronises
    // them. Calls nest.
    void disableControls() { ++m_controlsDisabled; }
    void enableControls();
    bool controlsDisabled() const { return m_controlsDisabled > 0; }

    const DataSetError &lastError() const { return m_error; }

signals:
    void aboutToReset();
    void wasReset();
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void rowChanged(int row);
    void currentRowChanged(int row);
    void stateChanged(qv::client::DataSetState state);
    void fieldChanged(qv::client::Field *field);
    // Controls holding typed text write it to their fields now (before a post).
    void updateRecordRequested();
    // Controls were enabled again: views reread everything.
    void refreshed();

private:
    friend class Field;
    friend class ScopedHooks;

    // Field access (Field.cpp calls these).
    QVariant fieldValue(const Field &field);
    bool setFieldValue(Field &field, const QVariant &value);
    bool setFieldText(Field &field, const QString &text);
    QVariant fieldOldValue(const Field &field);
    void reportFieldError(const Field &field, const QString &message);

    // Records.
    Record *currentRecord() const { return m_view.at(m_current); }
    Record *activeRecord() const { return m_scopeRecord ? m_scopeRecord : currentRecord(); }
    RecordPtr recordPtr(const Record *record) const;
    QVariant recordValue(Record *record, const Field &field);
    void ensureBlobs(Record *record);
    void recalc(Record *record);
    void appendFetchedRows(const QList<RowValues> &rows, bool announce);
    RecordPtr makeRecord(const RowValues &values);

    // Operations that must not re-enter themselves from their own hooks.
    enum RunningOp : unsigned {
        OpOpen = 0x1,
        OpClose = 0x2,
        OpInsert = 0x4,
        OpEdit = 0x8,
        OpPost = 0x10,
        OpCancel = 0x20,
        OpDelete = 0x40,
        OpScroll = 0x80,
        OpApply = 0x100,
    };

    // Opening.
    // `fill` adds rows of its own after the result's (a loaded file).
    bool finishOpen(const OpenResult &result, bool fireOpenEvents, int keepRow,
                    const std::function<void()> &fill = {});
    bool fetchRemaining(bool announce);

    // Moving and events.
    bool scrollTo(int row);
    void setState(DataSetState state);
    void announceState();
    bool runGuard(const DataSetHooks::Guard &guard, const QString &operation);
    void fire(const DataSetHooks::Event &event);
    void fireDataChange(Field *field);
    void emitCurrent();
    void emitRowChanged(int row);
    // Rebuilds the index in one reset; `change` runs inside the reset (rows may
    // leave the store there). The cursor stays on `keep`, or near its row.
    void rebuildView(Record *keep, const std::function<void()> &change = {});
    RowIndex::Accept acceptor();
    void resortAfterPost(Record *record);
    bool needsAllRows() const { return bool(m_filter) || !m_sort.isEmpty(); }
    QList<Field *> fieldsOf(const QString &names, const QString &operation);
    bool rowMatches(Record *record, const QList<Field *> &fields, const QVariantList &values,
                    LocateOptions options);
    bool applyFilterAndSort(const QString &operation);

    // Editing.
    bool beginInsert(bool atEnd);
    bool checkRequired();
    void discardEdit();

    // Pending changes.
    ChangePacket buildPacket(QList<const Change *> &entries) const;
    void takeSavedRow(const Change &change, const RowValues &values);
    // These two answer true when a row must come back into the view (the view
    // is then rebuilt once at the end).
    bool reconcile(const Change &change, const RowFailure &failure);
    bool revertChange(const Change &change);
    void dropRecord(Record *record);
    void assignValues(Record *record, const RowValues &values, bool keepMissingBlobs);

    // Errors.
    void clearError() { m_error = DataSetError(); }
    bool fail(const QString &operation, const QString &message, const QString &field = QString(),
              int row = -1);
    bool checkActive(const QString &operation);

    DataSource *m_source = nullptr;
    QString m_provider;
    QString m_commandText;
    int m_packetSize = 2000;
    bool m_readOnly = false;

    FieldList m_fields;
    RowStore m_store;
    RowIndex m_view;
    ChangeLog m_log;
    DataSetHooks m_hooks;

    DataSetState m_state = DataSetState::Inactive;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    std::optional<EditBuffer> m_edit;
    int m_cursor = 0;
    bool m_allFetched = true;

    FilterPredicate m_filter;
    QString m_filterText;
    QList<SortKey> m_sort;

    Record *m_scopeRecord = nullptr; // the row a calculation or a view is reading
    bool m_calculating = false;
    int m_controlsDisabled = 0;
    unsigned m_running = 0; // operations under way (RunningOp bits): no re-entry
    DataSetError m_error;
    QString m_abortMessage;
};

} // namespace qv::client
