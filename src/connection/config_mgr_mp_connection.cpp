#include "connection/config_mgr_mp_connection.h"

#include <new>
#include <utility>

#include "common/log/log.h"
#include "common/win/com_apartment.h"
#include "common/win/com_error.h"
#include "common/win/text_conversion.h"
#include "mp_url.h"
#include "wmi_error_text.h"

namespace mardonel {

namespace {

// Where the exception lines say they were caught; readers of the log match
// these, so they stay as they are.
constexpr char kHandlerFile[] = ".\\ConfigMgrMPConnection.cpp";
constexpr int kHandlerLine = 30;

void LogHresultException(HRESULT error) {
  // The line is written even when its text cannot be had: WMI's own failure
  // leaves the text empty or says so, and so does a conversion's.
  std::wstring text;
  try {
    std::string ansiText;
    static_cast<void>(GetWmiErrorText(error, ansiText));
    static_cast<void>(AnsiToWide(ansiText.c_str(), CP_THREAD_ACP, text));
  } catch (const std::bad_alloc&) {
    text.clear();
  }
  LogPrintf("%T INFO: Catching and handling HRESULT exception %s:%d (0x%X)\n\t%ls\n", kHandlerFile, kHandlerLine,
            static_cast<unsigned>(error), text.c_str());
}

void LogGeneralException() {
  LogPrintf("%T WARNING: Caught and handled general exception %s:%d\n", kHandlerFile, kHandlerLine);
}

}  // namespace

ConfigMgrMPConnection::ConfigMgrMPConnection() : nameSource_(QueryManagementPointName), httpsPort_(kHttpsPort) {}

ConfigMgrMPConnection::ConfigMgrMPConnection(ManagementPointNameSource nameSource, unsigned short httpsPort)
    : nameSource_(std::move(nameSource)), httpsPort_(httpsPort) {}

bool ConfigMgrMPConnection::IsAvailable() { return true; }

bool ConfigMgrMPConnection::TestConnectivity() {
  lastLocalAddress_.reset();
  const ComApartment apartment(COINIT_MULTITHREADED);
  if (FAILED(apartment.result())) {
    LogPrintf("%T: CoInitializeEx failed. Returning failed connectivity status.\n");
    return false;
  }
  return CheckManagementPoint();
}

bool ConfigMgrMPConnection::CheckManagementPoint() {
  try {
    const std::optional<std::wstring> name = nameSource_();
    if (!name) return false;
    std::string ansiName;
    if (WideToAnsi(name->c_str(), CP_ACP, ansiName) != ERROR_SUCCESS) {
      LogGeneralException();
      return false;
    }
    if (!IsManagementPointNameText(ansiName.c_str())) {
      if (DebugInfoEnabled()) LogPrintf("%T: Management point name holds control characters\n");
      return false;
    }
    char url[kManagementPointUrlSize];
    if (!BuildManagementPointUrl(url, sizeof url, ansiName.c_str())) {
      if (DebugInfoEnabled()) {
        LogPrintf("%T: Management point name of %u characters is too long for its address\n",
                  static_cast<unsigned>(ansiName.size()));
      }
      return false;
    }
    return TestUrl(url);
  } catch (const ComError& error) {
    LogHresultException(error.result());
    return false;
  } catch (...) {
    LogGeneralException();
    return false;
  }
}

}  // namespace mardonel
