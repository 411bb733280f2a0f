#include "report_output.h"

#include <utility>

#include "common/fs/append_file.h"
#include "common/win/last_error.h"
#include "common/win/win_owners.h"
#include "wide_text.h"

namespace mardonel {

namespace {

// The file being written, removed unless it was renamed into place.
class PartFile {
 public:
  explicit PartFile(std::wstring path) : path_(std::move(path)) {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() {
    if (path_.empty()) return;
    const LastErrorKeeper lastError;
    DeleteFileW(path_.c_str());
  }
  [[nodiscard]] const wchar_t* name() const { return path_.c_str(); }
  void Placed() { path_.clear(); }

 private:
  std::wstring path_;
};

DWORD WriteAllOf(HANDLE file, const std::string& text) {
  return WriteAll(file, text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace

DWORD WriteStandardOutput(const std::string& text) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  return WriteAllOf(output, text);
}

DWORD WriteFileWhole(const std::string& path, const std::string& text) {
  const std::wstring target = WideOf(path);
  // Named for its target and this process: on a share each machine writes
  // only names of its own.
  PartFile part(target + L"." + std::to_wstring(GetCurrentProcessId()) + L".part");
  unique_hfile file(CreateFileW(part.name(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError();
  const DWORD error = WriteAllOf(file.get(), text);
  if (error != ERROR_SUCCESS) return error;
  if (!FlushFileBuffers(file.get())) return GetLastError();
  file.reset();
  if (!MoveFileExW(part.name(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return GetLastError();
  }
  part.Placed();
  return ERROR_SUCCESS;
}

}  // namespace mardonel
