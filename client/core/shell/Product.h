// What the client calls itself: the title shown in window captions, the short
// name that keys its uploaded versions on the server, and its version text.
#pragma once

#include <QString>

namespace qv::client {

inline QString productTitle()
{
    return QStringLiteral("澜石进销存");
}

// The key of the client's uploads in VersionInfor.sName. The version is not
// part of it, so a client finds an upload newer than itself.
inline QString productKey()
{
    return QStringLiteral("Qv");
}

inline QString productVersion()
{
    return QStringLiteral("V9.9");
}

// The notice in the fourth panel of the status bar.
inline QString productNotice()
{
    return QStringLiteral("澜石软件");
}

// The name the client's program is stored under in VersionInfor.sFileName.
inline QString storedClientFileName()
{
    return QStringLiteral("QvClient.exe");
}

} // namespace qv::client
