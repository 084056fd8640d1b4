// Everything the client's windows share from start-up to the end of the run:
// the program folder and its settings, the connection card (server, account
// set, product), the data module, the logged-in user with the rights, and the
// registries through which the parts of the client offer their windows and
// pickers to each other.
#pragma once

#include "client/core/data/TData.h"
#include "client/core/rights/TGlobal.h"
#include "client/core/shell/ClientSettings.h"
#include "client/core/util/BillWindows.h"
#include "client/core/util/PickerRegistry.h"
#include "client/core/util/TDataQueryService.h"

#include <QString>

#include <memory>

namespace qv::client {

class MainWindow;

// The connection card: where the client is connected and to what.
struct TNetCardInfo {
    QString serverHost;
    QString accountNo;
    QString accountName;
    // 0: the file databases' dialect. Never changed by the client; it selects
    // the dialect of IifColumn and of the register numbering.
    int databaseKind = 0;
    QString productTitle;
    QString versionText;

    // Default geometry of document windows, from the main window's client area.
    int mainClientHeight = 0;
    int mainClientWidth = 0;
    int titleOverhead = 0;
    int childHeight = 0;
    int childWidth = 0;
    int childLeft = 0;
    int childTop = 0;

    // The first price kind (SJZL by XH), read when the main window shows.
    qint64 defaultPriceKind = 0;
};

class ClientSession {
public:
    explicit ClientSession(QString programFolder);
    ~ClientSession();
    ClientSession(const ClientSession &) = delete;
    ClientSession &operator=(const ClientSession &) = delete;

    const QString &programFolder() const { return m_programFolder; }
    ClientSettings &settings() { return m_settings; }
    TNetCardInfo &card() { return m_card; }
    TData &data() { return *m_data; }
    TGlobal &global() { return m_global; }
    TSystemFunctionRight &rights() { return m_global.rights(); }
    QueryService &queries() { return m_queries; }
    PickerRegistry &pickers() { return m_pickers; }
    BillWindows &billWindows() { return m_bills; }

    // The main window once it exists (nullptr before and after).
    MainWindow *mainWindow() const { return m_mainWindow; }
    void setMainWindow(MainWindow *window) { m_mainWindow = window; }

    bool isSuperUser() const { return m_global.isSuperUser(); }

private:
    QString m_programFolder;
    ClientSettings m_settings;
    TNetCardInfo m_card;
    std::unique_ptr<TData> m_data;
    TGlobal m_global;
    TDataQueryService m_queries;
    PickerRegistry m_pickers;
    BillWindows m_bills;
    MainWindow *m_mainWindow = nullptr;
};

} // namespace qv::client
