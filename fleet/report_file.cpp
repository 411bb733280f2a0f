#include "report_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unique_fd.h"

namespace mardonel::fleet {

namespace {

bool Same(const struct stat& before, const struct stat& after) {
  return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
         before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

}  // namespace

Result<std::string, Unread> ReadReportFile(int folder, const char* name, bool followLink) {
  // Not blocking: a pipe named *.csv must not hold the run.
  const UniqueFd file(openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
  if (file.get() < 0) {
    const int error = errno;
    if (error == ENOENT) return Refusal{Unread{FileRead::kGone, std::strerror(error)}};
    if (error == ELOOP && !followLink) return Refusal{Unread{FileRead::kLink, "a link, not taken"}};
    return Refusal{Unread{FileRead::kUnreadable, std::strerror(error)}};
  }
  struct stat before = {};
  if (fstat(file.get(), &before) != 0) return Refusal{Unread{FileRead::kUnreadable, std::strerror(errno)}};
  if (!S_ISREG(before.st_mode)) return Refusal{Unread{FileRead::kNotAFile, "not a file, not taken"}};
  std::string content;
  content.reserve(static_cast<std::size_t>(before.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Refusal{Unread{FileRead::kUnreadable, std::strerror(errno)}};
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  struct stat after = {};
  if (fstat(file.get(), &after) != 0 || !Same(before, after) ||
      content.size() != static_cast<std::size_t>(after.st_size)) {
    return Refusal{Unread{FileRead::kGrowing, "still being written"}};
  }
  return content;
}

}  // namespace mardonel::fleet
