#include "output_clash.h"

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/history/history_file_name.h"
#include "common/win/text_conversion.h"
#include "common/win/win_owners.h"
#include "wide_text.h"

namespace mardonel {

namespace {

// A folder as the platform knows it, whatever path reached it.
struct FolderIdentity {
  DWORD volume;
  std::uint64_t index;
  bool operator==(const FolderIdentity&) const = default;
};

std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) {
  const unique_hfile handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!handle || !GetFileInformationByHandle(handle.get(), &information)) return std::nullopt;
  return FolderIdentity{information.dwVolumeSerialNumber,
                        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

// Where an output lands: a folder entry, by its long name when it exists.
struct Entry {
  std::optional<FolderIdentity> folder;  // none when the folder cannot be opened: nothing is written there
  std::wstring name;
  const char* option;
};

std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

Entry EntryOf(const OutputFile& output) {
  const std::string& path = output.path;
  std::wstring full = FullPath(WideOf(path));
  std::wstring longName(full.size() + MAX_PATH, L'\0');
  const DWORD length = GetLongPathNameW(full.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
  if (length > 0 && length < longName.size()) full = longName.substr(0, length);
  const std::size_t separator = full.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return {};
  return Entry{IdentityOf(full.substr(0, separator + 1)), full.substr(separator + 1), output.option};
}

bool SameName(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

std::string OutputClash(const std::string& folder, const std::vector<OutputFile>& outputs) {
  std::wstring wideFolder;
  const std::optional<FolderIdentity> history =
      AnsiToWide(folder.c_str(), CP_ACP, wideFolder) == ERROR_SUCCESS ? IdentityOf(wideFolder) : std::nullopt;
  std::vector<Entry> entries;
  for (const OutputFile& output : outputs) {
    Entry entry = EntryOf(output);
    if (!entry.folder) continue;
    if (entry.folder == history && HistoryFileDate(Utf8Of(entry.name.c_str()))) {
      return std::string(output.option) + " names a history file of the folder read: " + output.path;
    }
    for (const Entry& other : entries) {
      if (other.folder == entry.folder && SameName(other.name, entry.name)) {
        return std::string(other.option) + " and " + output.option + " name the same file " + output.path;
      }
    }
    entries.push_back(std::move(entry));
  }
  return {};
}

}  // namespace mardonel
