#include "common/win/error_text.h"

#include <cstdio>

#include "common/win/last_error.h"
#include "common/win/win_owners.h"
#include "message_lookup.h"
#include "module_list.h"

namespace mardonel {

namespace {

constexpr DWORD kUserDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

// Interface-specific codes from 0x200 on mean something different for each
// interface, so no message table can name them.
bool IsInterfaceSpecific(DWORD code) { return ErrorFacility(code) == FACILITY_ITF && ErrorCodeWord(code) >= 0x200; }

[[nodiscard]] bool TryLoadedModules(DWORD code, std::string& text) {
  std::unique_ptr<HMODULE[]> modules;
  DWORD count = 0;
  if (ListLoadedModules(modules, count) != ERROR_SUCCESS) return false;
  for (DWORD index = 0; index < count; ++index) {
    if (TryMessageLookup(FORMAT_MESSAGE_FROM_HMODULE, modules[index], code, text)) return true;
  }
  return false;
}

}  // namespace

const char* ErrorText(DWORD code) {
  // Host threads log at once; each keeps its own text until its next call.
  thread_local char text[1024];
  if (code == 0) code = GetLastError();

  // Inserts come back as the sequences themselves.
  static const char* const kInserts[] = {"%1", "%2", "%3", "%4", "%5", "%6", "%7"};
  DWORD_PTR inserts[7];
  for (int index = 0; index < 7; ++index) inserts[index] = reinterpret_cast<DWORD_PTR>(kInserts[index]);

  char* message = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code,
      kUserDefaultLanguage, reinterpret_cast<char*>(&message), 0, reinterpret_cast<va_list*>(inserts));
  const unique_hlocal owner(message);
  if (length == 0 || message == nullptr) {
    std::snprintf(text, sizeof text, "Error 0x%08lx", static_cast<unsigned long>(code));
    return text;
  }

  // One line: every line break goes, wherever it stands.
  std::size_t out = 0;
  for (DWORD in = 0; in < length && out < sizeof text - 1; ++in) {
    if (message[in] != '\r' && message[in] != '\n') text[out++] = message[in];
  }
  text[out] = '\0';
  return text;
}

std::string ErrorMessage(DWORD code) {
  const LastErrorKeeper lastError;
  std::string text;
  if (!IsInterfaceSpecific(code)) {
    if (TryMessageLookup(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, text)) return text;
    if (TryLoadedModules(code, text)) return text;
  }
  char fallback[260];
  std::snprintf(fallback, sizeof fallback, "Error 0x%08lx", static_cast<unsigned long>(code));
  return fallback;
}

}  // namespace mardonel
