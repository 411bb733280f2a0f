// The owner of a file descriptor: every way out of a scope closes it.
#pragma once

#include <unistd.h>

namespace mardonel::fleet {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) close(fd_);
  }
  [[nodiscard]] int get() const noexcept { return fd_; }
  // Closes it now, as a failed close can lose what was written.
  [[nodiscard]] bool Close() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace mardonel::fleet
