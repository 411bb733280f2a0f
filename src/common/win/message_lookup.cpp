#include "message_lookup.h"

#include <new>

#include "common/win/win_owners.h"

namespace mardonel {

bool TryFormatMessage(DWORD source, HMODULE module, DWORD code, std::string& text) {
  char* message = nullptr;
  const DWORD length = FormatMessageA(source | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, module,
                                      code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  const unique_hlocal owner(message);
  if (length == 0 || message == nullptr) return false;

  DWORD end = length;
  while (end > 0 && (message[end - 1] == '\r' || message[end - 1] == '\n')) --end;
  if (end == 0) end = length;
  try {
    text.assign(message, end);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool TryMessageLookup(DWORD source, HMODULE module, DWORD code, std::string& text) {
  if (TryFormatMessage(source, module, code, text)) return true;
  return ErrorFacility(code) == FACILITY_WIN32 && TryFormatMessage(source, module, ErrorCodeWord(code), text);
}

}  // namespace mardonel
