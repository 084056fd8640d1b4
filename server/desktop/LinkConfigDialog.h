// The link dialog (TdlgLinkConfig, "配置数据库"): where the PostgreSQL
// database of server mode is, with a database list read from the server.
#pragma once

#include "server/LinkSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace qv::server {

class LinkConfigDialog : public QDialog {
    Q_OBJECT
public:
    // Starts from the host and user of `current` when they are set.
    explicit LinkConfigDialog(const LinkSettings &current, QWidget *parent = nullptr);

    LinkSettings settings() const;

    void accept() override;

private:
    void fillDatabaseList();
    void testLink();

    QLineEdit *m_server = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QComboBox *m_database = nullptr;
    QCheckBox *m_trusted = nullptr;
};

} // namespace qv::server
