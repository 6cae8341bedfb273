#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace korvex::platform {
namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Creates a new file ".<name>.<pid>.<n>" in the folder of `target`; the kernel applies the
// umask to its mode 0666, as for any new file of the process.
int CreateTemporaryBeside(const std::string& target, std::string* temp_name) {
  static std::atomic<unsigned> counter{0};
  const std::string stem =
      FolderOf(target) + "/." + NameOf(target) + "." + std::to_string(::getpid()) + ".";
  for (;;) {
    *temp_name = stem + std::to_string(counter.fetch_add(1));
    int fd = ::open(temp_name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

bool IsTemporaryOf(std::string_view entry, std::string_view name) {
  if (entry.size() <= name.size() + 2 || entry[0] != '.' || entry.substr(1, name.size()) != name ||
      entry[name.size() + 1] != '.') {
    return false;
  }
  std::string_view numbers = entry.substr(name.size() + 2);
  const size_t dot = numbers.find('.');
  return dot != std::string_view::npos && IsDigits(numbers.substr(0, dot)) &&
         IsDigits(numbers.substr(dot + 1));
}

int ReplaceFile(const std::string& target, std::string_view bytes) {
  std::string temp_name;
  const int fd = CreateTemporaryBeside(target, &temp_name);
  if (fd < 0) return errno;

  // The data reaches the disk before the rename, so that after a crash the name holds either
  // the old contents or the whole new ones.
  struct stat old_info {};
  bool done =
      (::stat(target.c_str(), &old_info) != 0 || ::fchmod(fd, old_info.st_mode & 07777) == 0) &&
      WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && done) {
    done = false;
    error = errno;
  }
  if (done && ::rename(temp_name.c_str(), target.c_str()) != 0) {
    done = false;
    error = errno;
  }
  if (!done) {
    ::unlink(temp_name.c_str());
    return error;
  }
  // The rename itself reaches the disk with the folder.
  const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return 0;
}

}  // namespace korvex::platform
