#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "common/log/log.h"
#include "common/registry/registry_parameter.h"
#include "registry_key.h"
#include "registry_read.h"

namespace mardonel {

namespace {

constexpr std::size_t kLocalCopySize = 128;

// The buffer's content on entry, to tell afterwards whether the read changed it.
class PreviousContent {
 public:
  // False when there is no memory for the copy of a long text.
  [[nodiscard]] bool Keep(DWORD type, const void* buffer, DWORD size) {
    type_ = type;
    if (type == REG_DWORD) {
      std::memcpy(&number_, buffer, sizeof number_);
    } else if (IsRegistryText(type)) {
      const std::size_t copySize = static_cast<std::size_t>(size) + 1;
      if (copySize > kLocalCopySize) {
        heap_.reset(new (std::nothrow) char[copySize]);
        if (!heap_) return false;
        text_ = heap_.get();
      }
      const std::size_t length = strnlen(static_cast<const char*>(buffer), size);
      std::memcpy(text_, buffer, length);
      text_[length] = '\0';
    }
    return true;
  }

  [[nodiscard]] bool Differs(const void* buffer, DWORD size) const {
    if (type_ == REG_DWORD) {
      DWORD now = 0;
      std::memcpy(&now, buffer, sizeof now);
      return now != number_;
    }
    // Settings are names and paths, where case carries no meaning.
    return IsRegistryText(type_) && _strnicmp(text_, static_cast<const char*>(buffer), size) != 0;
  }

 private:
  DWORD type_ = REG_NONE;
  DWORD number_ = 0;
  char local_[kLocalCopySize];
  std::unique_ptr<char[]> heap_;
  char* text_ = local_;
};

}  // namespace

DWORD GetRegParameter(HKEY root, const char* subKey, const char* valueName, DWORD type, void* buffer, DWORD size,
                      DWORD flags) {
  if (root == nullptr || subKey == nullptr || valueName == nullptr) return ERROR_INVALID_PARAMETER;
  // Nothing may be read or written outside the caller's buffer.
  if (buffer == nullptr || size == 0 || (type == REG_DWORD && size < sizeof(DWORD))) return ERROR_INVALID_PARAMETER;

  PreviousContent previous;
  if (!previous.Keep(type, buffer, size)) {
    LogPrintf("RegGet alloc failure\n");
    return ERROR_SUCCESS;
  }
  const RegistryRead read = ReadRegistryValue(root, subKey, valueName, type, buffer, size, flags);
  const DWORD status = read.status();
  const bool changed = read.value() && previous.Differs(buffer, size);

  SetLastError(status);
  if ((flags & RP_READ_ONLY) != 0 && (flags & RP_FROM_POLICY) == 0) return changed ? 1 : 0;
  if (status != ERROR_SUCCESS) return status;
  return changed ? 1 : 0;
}

}  // namespace mardonel
