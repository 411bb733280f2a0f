#include "picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "unique_fd.h"

namespace mardonel::fleet {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Why(const std::string& path) { return path + ": " + std::strerror(errno); }

// The part file's name, removed when it goes out of scope unless it was
// renamed.
class PartFile {
 public:
  explicit PartFile(std::string name) : name_(std::move(name)) {}
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;
  ~PartFile() {
    if (!renamed_) unlink(name_.c_str());
  }
  [[nodiscard]] const std::string& name() const noexcept { return name_; }
  void Renamed() noexcept { renamed_ = true; }

 private:
  std::string name_;
  bool renamed_ = false;
};

}  // namespace

std::string PictureFileProblem(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return path + ": is a folder";
  const std::string folder = FolderOf(path);
  if (stat(folder.c_str(), &status) != 0) return Why(folder);
  if (!S_ISDIR(status.st_mode)) return folder + ": not a folder";
  if (access(folder.c_str(), W_OK | X_OK) != 0) return Why(folder);
  return "";
}

std::string WritePictureFile(const std::string& path, const std::string& content) {
  std::string problem = PictureFileProblem(path);
  if (!problem.empty()) return problem;
  const std::size_t slash = path.rfind('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string pattern = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + "." + base + ".part-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  UniqueFd file(mkstemp(name.data()));
  if (file.get() < 0) return Why(pattern);
  PartFile part(name.data());
  for (std::size_t written = 0; written < content.size();) {
    const ssize_t wrote = write(file.get(), content.data() + written, content.size() - written);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote < 0) return Why(part.name());
    written += static_cast<std::size_t>(wrote);
  }
  if (fchmod(file.get(), 0644) != 0 || fsync(file.get()) != 0 || !file.Close()) return Why(part.name());
  if (rename(part.name().c_str(), path.c_str()) != 0) return Why(path);
  part.Renamed();
  return "";
}

}  // namespace mardonel::fleet
