// The client's self-update. The super-user uploads a client program into the
// registry (VersionInfor, keyed by the product's short name, so a newer upload
// replaces an older one and every client finds it); at start-up a client whose
// own version is lower offers to take it. Versions compare by their numbers
// (V10.0 is newer than V9.9).
//
// Taking the update writes the stored program beside the running one, puts it
// in place of the running program file and starts it; the running client then
// ends.
#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace qv::client {

class ClientSession;

inline constexpr const char *kUploadOnlyClientMessage = "只能上传客户端软件：QvClient.exe";
inline constexpr int kUpdateBlockSize = 61440;

class SelfUpdate {
public:
    // <0, 0, >0 as a is older, the same as, newer than b. The numbers in the
    // texts are compared one by one ("V9.9" < "V9.10" < "V10.0"); texts without
    // numbers compare as text.
    static int compareVersions(const QString &a, const QString &b);

    // The version stored on the server for the product, when it is newer than
    // the running client's; empty otherwise (also when the query fails).
    static QString newerVersionOnServer(ClientSession &session);

    // The start-up check: asks "服务器上有新版本，您需要升级版本吗？" when a newer
    // client is stored. True when the user took it and it was installed: the
    // program must end.
    static bool check(ClientSession &session, QWidget *parent);

    // Writes the stored client over the program file (with a progress bar) and
    // starts it. False with *error when anything fails; the running program
    // is then left as it was.
    static bool install(ClientSession &session, const QString &programFile, QWidget *parent, QString *error);

    // Whether a chosen file may be uploaded: the client program itself.
    static bool isClientProgram(const QString &path);
    // Stores the file's bytes as the product's client (deleting the one stored
    // before). False with *error when the file cannot be read or saved.
    static bool upload(ClientSession &session, const QString &path, QString *error);
    // The menu item "上传版本": file dialog, checks and messages.
    static void uploadWithDialog(ClientSession &session, QWidget *parent);
};

} // namespace qv::client
