// The connect operation of the start-up: reads the host from SysConfig.ini
// (creating the file when there is none), connects both connections to it and
// says so when it cannot.
#pragma once

class QWidget;

namespace qv::client {

class ClientSession;

inline constexpr const char *kServerNotFoundMessage =
    "找不到服务器，请检查本软件包安装目录下面的SysConfig.ini配置文件！";
inline constexpr const char *kConnectFailedMessage = "连接服务器错误！";

// True when connected. Otherwise the user has seen why and both connections
// are left disconnected.
bool connectToConfiguredServer(ClientSession &session, QWidget *messageParent);

} // namespace qv::client
