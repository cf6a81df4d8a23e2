// A disk that fills up, for tests that need writes to fail part way: while a
// FileSizeLimit lives, this process cannot make any file longer than the
// given bytes (RLIMIT_FSIZE; writes past it fail with EFBIG, "File too large").
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace zentavo::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    // The signal would end the test; the failed write is what we want to see.
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_DFL;
};

}  // namespace zentavo::testing
