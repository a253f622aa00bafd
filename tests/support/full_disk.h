// A full disk for the tests of what the program writes: while a FullDisk lives, a write that
// would make a file larger than the room given fails as on a full disk ("File too large"); the
// signal such a write raises is ignored.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace tessaron::test_support {

class FullDisk {
  public:
    explicit FullDisk(rlim_t room) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = room;
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

  private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

}  // namespace tessaron::test_support
