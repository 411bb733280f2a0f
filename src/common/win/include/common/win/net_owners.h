// Owners of Winsock and WinINet handles.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <wininet.h>
#include <ws2tcpip.h>

#include <cstdint>

#include "common/win/unique_any.h"

namespace mardonel {

inline void EndWinsock(bool) { WSACleanup(); }

using unique_hinternet = unique_any<HINTERNET, InternetCloseHandle>;
using unique_socket = unique_any<SOCKET, closesocket, static_cast<std::intptr_t>(INVALID_SOCKET)>;
// Holds true from a successful WSAStartup until its WSACleanup.
using unique_winsock = unique_any<bool, EndWinsock>;
using unique_addrinfoex = unique_any<ADDRINFOEXW*, FreeAddrInfoExW>;

}  // namespace mardonel
