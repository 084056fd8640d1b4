// The client data module: the two connections to the application server, every
// shared dataset of the business module with its settings, calculated fields,
// display texts and events, the general channels Tmp, Tmpf and Tmpl, the query
// pool, and the exec-SQL path through which the rest of the client runs its
// statements.
//
// One TData lives for the whole run of the client. Windows borrow its datasets
// (saving and restoring their hooks with ScopedHooks) and never free them.
// Nothing here shows a message: operations answer a result, and lastError()
// keeps the text of the last failure for the window that wants to show it.
//
// Typical use in a window:
//
//   DataSet *llzb = data.dataSet(u"Llzb");
//   if (!data.runSql(llzb, "select * from LLZB where RQ <= " + bound, true))
//       return showError(data.lastError());
//   const auto count = data.queryValue("select count(*) from LL");
#pragma once

#include "client/core/data/DataResult.h"
#include "client/core/data/SharedDataSets.h"
#include "client/core/dataset/DataSet.h"
#include "client/core/net/ServerConnection.h"
#include "client/core/net/ServerDataSource.h"

#include <QObject>

#include <memory>
#include <vector>

namespace qv::client {

class TData : public QObject {
    Q_OBJECT

public:
    static constexpr int kPacketSize = 2000;
    // The display format every floating-point field gets unless it has one.
    static constexpr QStringView kNumberFormat = u"#,0.##";

    explicit TData(QObject *parent = nullptr);
    ~TData() override;

    // --- connections --------------------------------------------------------
    // The business module (`cn`) and the report module (`CnBb`); both start
    // with the host 127.0.0.1 until the start-up sets the configured one.
    ServerConnection &cn() { return *m_cn; }
    ServerConnection &cnBb() { return *m_cnBb; }
    ServerDataSource &source() { return *m_source; }
    ServerDataSource &reportSource() { return *m_reportSource; }
    // Connects both connections to the address; false with lastError().
    bool connectToServer(const ServerAddress &address);
    void disconnectFromServer();
    // The GUI's busy cursor, for both connections.
    void setBusyHook(const ServerConnection::BusyHook &hook);
    // The reconcile dialog every shared dataset hands refused rows to.
    void setReconcileHandler(
        const std::function<ReconcileAction(DataSet &, ReconcileError &)> &handler);

    // --- datasets -------------------------------------------------------------
    // The shared dataset of that name (case ignored); nullptr when there is none.
    DataSet *dataSet(QStringView name) const;
    QStringList dataSetNames() const;
    DataSet *tmp() const { return m_tmp; }
    DataSet *tmpf() const { return m_tmpf; }
    DataSet *tmpl() const { return m_tmpl; }
    DataSet *ck() const { return dataSet(u"Ck"); }
    DataSet *bm() const { return dataSet(u"Bm"); }
    DataSet *hp() const { return dataSet(u"Hp"); }
    DataSet *zh() const { return dataSet(u"Zh"); }
    DataSet *appUser() const { return dataSet(u"AppUser"); }
    DataSet *companyInfo() const { return dataSet(u"CompanyInfo"); }
    // A dataset of the caller's own on the business connection, with the
    // common settings (packets of 2000, number formats); the caller owns it.
    std::unique_ptr<DataSet> createDataSet(const QString &name, const QString &provider);

    // --- the query pool ---------------------------------------------------------
    // The first pool dataset (TMP0, TMP1, ...) that is not open; a new one when
    // all are. The caller closes it when done; the pool only grows.
    DataSet *getPoolQuery();
    int poolSize() const { return int(m_pool.size()); }
    DataSet *poolQuery(int index) const;

    // --- the exec-SQL path ------------------------------------------------------
    // Closes the dataset, sets its statement and opens it (open true: a query)
    // or executes it (false: a command). False on any failure; the dataset is
    // then closed.
    bool runSql(DataSet *dataSet, const QString &sql, bool open);
    // Executes on the dataset and closes it; a failure is ignored.
    void runSqlQuiet(const QString &sql, DataSet *dataSet);
    // True when the query returns at least one row.
    DataResult<bool> queryExists(const QString &sql);
    // The first column of the first row. Without a row: an empty text for a
    // text column, 0 for a numeric or yes/no column, otherwise null.
    DataResult<QVariant> queryValue(const QString &sql);
    // Copies the first row's columns into the target's fields (names separated
    // by ';', in column order), putting the target into edit state first.
    // Without a row and with `clear`, numeric fields get 0 and text fields an
    // empty text. Answers 1 with a row, 0 without, -1 when the query failed.
    int queryToFields(const QString &sql, DataSet *target, const QString &fieldList, bool clear);
    // Executes on a pool dataset; false on any error.
    bool tryExecSql(const QString &sql);
    // "select Max(key)+1 from table" (key ItemType for pub_ItemType, ID for
    // every other table); 1 for an empty table.
    DataResult<qint64> nextTableId(const QString &table);
    // Every row of a query in one call, for computations over a whole result.
    DataResult<QList<RowValues>> selectRows(const QString &sql);
    // For a register dataset named like its table, in insert state: puts the
    // largest positive ID + 1 (1 for an empty table) into its ID field.
    DataResult<qint64> setId(DataSet &dataSet);

    // --- remote methods of the business module --------------------------------
    // 0 when the server bound this connection to the account set.
    DataResult<qint64> connectAct(const QString &accountNo, int databaseType = 0);
    DataResult<QString> serverDate();     // "YYYY-MM-DD"
    DataResult<QString> serverDateTime(); // "YYYY-MM-DD HH:MM:SS"
    DataResult<QString> tableNames();     // joined with "|"
    DataResult<qint64> compactDatabase();
    DataResult<qint64> backupData(const QString &accountName);
    DataResult<qint64> getAccounts();
    // Takes the running number of a numbering key and advances it atomically.
    DataResult<qint64> nextBillNo(const QString &key);
    DataResult<bool> createAccountSet(const QString &accountNo, const QString &accountName,
                                      const QString &companyName);
    DataResult<bool> deleteAccountSet(const QString &accountNo);

    // The text of the last failure of this module's operations.
    const QString &lastError() const { return m_lastError; }

private:
    DataSet *addShared(const SharedDataSetSpec &spec);
    void prepare(DataSet &dataSet);
    // Field formats and display texts, applied whenever a dataset's fields are
    // (re)built; calculated fields and events, installed once (TDataRules.cpp).
    void applyFieldRules(DataSet &dataSet);
    void installCalculatedFields();
    void installEvents();
    bool openIfClosed(DataSet &owner, DataSet *dependency);
    void fillOfficeDefaults(DataSet &dataSet);

    template <typename Args, typename Value>
    DataResult<Value> remote(const Args &args, Value (*take)(const typename Args::Reply &),
                             int timeoutMs = -1);
    bool failed(const QString &error);

    std::unique_ptr<ServerConnection> m_cn;
    std::unique_ptr<ServerConnection> m_cnBb;
    std::unique_ptr<ServerDataSource> m_source;
    std::unique_ptr<ServerDataSource> m_reportSource;
    // Declared after the connections: datasets go first.
    std::vector<std::unique_ptr<DataSet>> m_shared;
    std::vector<std::unique_ptr<DataSet>> m_pool;
    QHash<QString, DataSet *> m_byName; // upper-case name
    QHash<const DataSet *, DataSetArea> m_areas; // the shared datasets
    DataSet *m_tmp = nullptr;
    DataSet *m_tmpf = nullptr;
    DataSet *m_tmpl = nullptr;
    QString m_lastError;
};

} // namespace qv::client
