#include <windows.h>
#include <wininet.h>

#include <string>

#include "common/log/log.h"
#include "common/win/error_text.h"
#include "common/win/net_owners.h"
#include "connection/config_mgr_mp_connection.h"
#include "tcp_probe.h"

namespace mardonel {

namespace {

// The whole wait for the management point's host to be resolved and to
// accept a connection on either port.
constexpr DWORD kConnectTimeout = 5000;  // milliseconds

// A WinINet connection handle is granted without any traffic, so it proves
// nothing about the host; a TCP connection, closed unused, does. A point that
// serves clients over HTTPS only refuses the address's own port.
bool IsHostReachable(const std::string& host, INTERNET_PORT port, INTERNET_PORT httpsPort,
                     std::uint32_t& localAddress) {
  const DWORD error = ProbeTcpConnection(host.c_str(), port, httpsPort, kConnectTimeout, localAddress);
  if (error == ERROR_SUCCESS) return true;
  if (!DebugInfoEnabled()) return false;
  const std::string text = ErrorMessage(error);
  if (httpsPort == port) {
    LogPrintf("%T: Connection to %s port %u failed, %s\n", host.c_str(), static_cast<unsigned>(port), text.c_str());
  } else {
    LogPrintf("%T: Connection to %s port %u or %u failed, %s\n", host.c_str(), static_cast<unsigned>(port),
              static_cast<unsigned>(httpsPort), text.c_str());
  }
  return false;
}

}  // namespace

bool ConfigMgrMPConnection::TestUrl(const char* url) {
  if (DebugInfoEnabled()) LogPrintf("%T: Testing connectivity to %s\n", url);
  const unique_hinternet session(InternetOpenA("ToveraAgt Module", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) {
    if (DebugInfoEnabled()) {
      const DWORD error = GetLastError();
      LogPrintf("%T: Internet Open failed, %s\n", ErrorMessage(error).c_str());
    }
    return false;
  }

  // Lengths of 1 ask for pointers into the URL rather than copies.
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;
  parts.dwUrlPathLength = 1;
  if (!InternetCrackUrlA(url, 0, 0, &parts)) {
    const DWORD error = GetLastError();
    LogPrintf("%T: InternetCrackUrl failed, %s\n", ErrorMessage(error).c_str());
    return false;
  }
  const std::string host =
      parts.lpszHostName != nullptr ? std::string(parts.lpszHostName, parts.dwHostNameLength) : std::string();

  const unique_hinternet connection(
      InternetConnectA(session.get(), host.c_str(), parts.nPort, "", "", static_cast<DWORD>(parts.nScheme), 0, 0));
  if (!connection) return false;
  std::uint32_t localAddress = 0;
  if (!IsHostReachable(host, parts.nPort, httpsPort_, localAddress)) return false;
  if (localAddress != 0) lastLocalAddress_ = localAddress;
  return true;
}

}  // namespace mardonel
