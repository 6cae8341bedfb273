#include "child_process.h"

#include <grp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace korvex::testing {

namespace {

constexpr int kUncaughtException = 125;
constexpr unsigned kNobody = 65534;

}  // namespace

int RunInChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_DUMPABLE, 0);
    int result = kUncaughtException;
    try {
      result = body();
    } catch (...) {
    }
    ::_exit(result);
  }
  int status = 0;
  if (pid < 0) return -1;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

bool BecomeUnprivileged() {
  if (::geteuid() != 0) return true;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
    return false;
  }
  return ::geteuid() != 0;
}

}  // namespace korvex::testing
