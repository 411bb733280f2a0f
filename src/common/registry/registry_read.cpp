#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "common/log/log.h"
#include "common/registry/number_text.h"
#include "common/registry/registry_key.h"
#include "common/registry/registry_parameter.h"
#include "common/win/error_text.h"

namespace mardonel {

namespace {

constexpr std::size_t kLocalCopySize = 128;

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// A text read need not end with a terminator; this one always ends inside
// its `size` bytes, after at most the `length` bytes that were read.
void TerminateInside(char* text, DWORD length, DWORD size) {
  const DWORD read = length < size ? length : size;
  if (std::memchr(text, '\0', read) == nullptr) text[read < size ? read : size - 1] = '\0';
}

// The buffer's content on entry, to tell afterwards whether the read changed it.
class PreviousContent {
 public:
  // False when there is no memory for the copy of a long text.
  bool Keep(DWORD type, const void* buffer, DWORD size) {
    type_ = type;
    if (type == REG_DWORD) {
      std::memcpy(&number_, buffer, sizeof number_);
    } else if (IsText(type)) {
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

  bool Differs(const void* buffer, DWORD size) const {
    if (type_ == REG_DWORD) {
      DWORD now = 0;
      std::memcpy(&now, buffer, sizeof now);
      return now != number_;
    }
    // Settings are names and paths, where case carries no meaning.
    return IsText(type_) && _strnicmp(text_, static_cast<const char*>(buffer), size) != 0;
  }

 private:
  DWORD type_ = REG_NONE;
  DWORD number_ = 0;
  char local_[kLocalCopySize];
  std::unique_ptr<char[]> heap_;
  char* text_ = local_;
};

// A text is stored with its terminator, anything else with the whole buffer.
LSTATUS WriteBuffer(HKEY key, const char* valueName, DWORD type, const void* buffer, DWORD size) {
  DWORD bytes = size;
  if (IsText(type)) {
    const std::size_t length = strnlen(static_cast<const char*>(buffer), size);
    bytes = static_cast<DWORD>(length < size ? length + 1 : size);
  }
  return RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(buffer), bytes);
}

void ClearBuffer(DWORD type, void* buffer, DWORD size) {
  if (IsText(type)) {
    static_cast<char*>(buffer)[0] = '\0';
  } else {
    std::memset(buffer, 0, size);
  }
}

LSTATUS ReadSameType(HKEY key, const char* valueName, DWORD type, void* buffer, DWORD size) {
  DWORD length = size;
  const LSTATUS status = RegQueryValueExA(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), &length);
  if (IsText(type)) TerminateInside(static_cast<char*>(buffer), status == ERROR_SUCCESS ? length : size, size);
  return status;
}

// The stored text whole, read into a buffer of its own size and terminated.
LSTATUS ReadWholeText(HKEY key, const char* valueName, DWORD storedSize, std::unique_ptr<char[]>& text) {
  text.reset(new (std::nothrow) char[static_cast<std::size_t>(storedSize) + 1]);
  if (!text) return ERROR_NOT_ENOUGH_MEMORY;
  DWORD length = storedSize;
  const LSTATUS status =
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text.get()), &length);
  TerminateInside(text.get(), status == ERROR_SUCCESS ? length : 0, storedSize + 1);
  return status;
}

// A number stored as text: the buffer gets its value, and a writable read
// stores it again as a number. A text that is no number is the
// administrator's to mend: it stays, and so does the buffer.
LSTATUS ReadTextAsNumber(HKEY key, const char* valueName, DWORD storedSize, void* buffer, bool writable) {
  std::unique_ptr<char[]> text;
  const LSTATUS status = ReadWholeText(key, valueName, storedSize, text);
  if (status != ERROR_SUCCESS) return status;
  const std::optional<std::uint32_t> number = ParseNumberText(text.get());
  if (!number) {
    LogPrintf("GetRegParameter %s - \"%s\" is not a number; left as stored\n", valueName, text.get());
    return ERROR_INVALID_DATA;
  }
  const DWORD value = *number;
  std::memcpy(buffer, &value, sizeof value);
  if (writable) {
    RegDeleteValueA(key, valueName);
    RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  return status;
}

// A text with environment variables, as policy tools often store a path:
// used expanded, never rewritten.
LSTATUS ReadExpandedText(HKEY key, const char* valueName, DWORD storedSize, void* buffer, DWORD size) {
  std::unique_ptr<char[]> text;
  LSTATUS status = ReadWholeText(key, valueName, storedSize, text);
  if (status != ERROR_SUCCESS) return status;
  std::unique_ptr<char[]> expanded(new (std::nothrow) char[size]);
  if (!expanded) return ERROR_NOT_ENOUGH_MEMORY;
  const DWORD length = ExpandEnvironmentStringsA(text.get(), expanded.get(), size);
  if (length == 0) return static_cast<LSTATUS>(GetLastError());
  if (length > size) return ERROR_MORE_DATA;
  std::memcpy(buffer, expanded.get(), length);
  return status;
}

// Returns whether the value exists; `status` is the outcome of the read.
bool ReadValue(HKEY key, const char* valueName, DWORD type, void* buffer, DWORD size, bool writable, LSTATUS& status) {
  DWORD storedType = REG_NONE;
  DWORD storedSize = 0;
  status = RegQueryValueExA(key, valueName, nullptr, &storedType, nullptr, &storedSize);
  if (status != ERROR_SUCCESS) {
    if (!writable) {
      ClearBuffer(type, buffer, size);
    } else {
      status = WriteBuffer(key, valueName, type, buffer, size);
      if (status != ERROR_SUCCESS) LogPrintf("GetRegParameter_3 %s - %s\n", ErrorText(status), valueName);
    }
    return false;
  }
  if (storedType == REG_SZ && type == REG_DWORD) {
    status = ReadTextAsNumber(key, valueName, storedSize, buffer, writable);
  } else if (storedType == REG_EXPAND_SZ && type == REG_SZ) {
    status = ReadExpandedText(key, valueName, storedSize, buffer, size);
  } else if (storedSize > size) {
    status = ERROR_MORE_DATA;
  } else if (storedType == type) {
    status = ReadSameType(key, valueName, type, buffer, size);
  } else if (writable) {
    // A value of a foreign type is replaced by the default; the buffer stands.
    RegDeleteValueA(key, valueName);
    WriteBuffer(key, valueName, type, buffer, size);
  }
  return true;
}

unique_hkey OpenForRead(HKEY root, const char* subKey, bool writable, LSTATUS& status) {
  if (!writable) return OpenRegistryKey(root, subKey, KEY_READ, status);
  unique_hkey key = OpenRegistryKey(root, subKey, kRegistryReadWrite, status);
  if (!key) key = OpenRegistryKey(root, subKey, KEY_READ, status);
  if (!key) key = CreateRegistryKey(root, subKey, status);
  return key;
}

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
  const bool writable = (flags & RP_READ_ONLY) == 0;
  LSTATUS status = ERROR_SUCCESS;
  bool found = false;
  if (unique_hkey key = OpenForRead(root, subKey, writable, status)) {
    found = ReadValue(key.get(), valueName, type, buffer, size, writable, status);
  } else if (writable) {
    LogPrintf("GetRegParameter_4 %s - %s\\%s\n", ErrorText(status), subKey, valueName);
  }
  const bool changed = found && previous.Differs(buffer, size);

  SetLastError(static_cast<DWORD>(status));
  if (!writable && (flags & RP_FROM_POLICY) == 0) return changed ? 1 : 0;
  if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
  return changed ? 1 : 0;
}

}  // namespace mardonel
