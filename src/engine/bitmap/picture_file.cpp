#include "engine/bitmap/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "engine/bitmap/bitmap_error.h"

namespace korvex::engine {

namespace {

// Closes a descriptor opened for reading when it goes out of scope.
class ReadDescriptor {
 public:
  explicit ReadDescriptor(int fd) : fd_(fd) {}
  ReadDescriptor(const ReadDescriptor&) = delete;
  ReadDescriptor& operator=(const ReadDescriptor&) = delete;
  ~ReadDescriptor() { ::close(fd_); }
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void FailRead(const std::string& path, const std::string& reason) {
  throw BitmapError("Cannot read the picture " + path + ": " + reason);
}

[[noreturn]] void FailWrite(const std::string& path, int error) {
  throw BitmapError("Cannot write the picture " + path + ": " + std::strerror(error));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file ".<name>.<pid>.<n>.tmp" beside `path`, created with mode 0666 less the umask
// like any file of the process; -1 with errno set when it cannot be created.
int CreateTemporaryBeside(const std::string& path, std::string* temp_path) {
  static std::atomic<unsigned> counter{0};
  const std::string name = path.substr(path.rfind('/') + 1);
  const std::string stem = FolderOf(path) + "/." + name + "." + std::to_string(::getpid()) + ".";
  for (;;) {
    *temp_path = stem + std::to_string(counter.fetch_add(1)) + ".tmp";
    const int fd = ::open(temp_path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::vector<uint8_t> ReadPictureFile(const std::string& path) {
  const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (opened < 0) FailRead(path, std::strerror(errno));
  const ReadDescriptor file(opened);
  const int fd = file.get();

  struct stat info {};
  if (::fstat(fd, &info) != 0) FailRead(path, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) FailRead(path, std::strerror(EISDIR));
  const std::string too_large = "the file is larger than any picture (" +
                                std::to_string(kMaxPictureFileBytes >> 20) + " MiB)";
  if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > kMaxPictureFileBytes) {
    FailRead(path, too_large);
  }

  std::vector<uint8_t> bytes;
  if (S_ISREG(info.st_mode)) bytes.reserve(static_cast<size_t>(info.st_size));
  uint8_t buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailRead(path, std::strerror(errno));
    if (n == 0) return bytes;
    if (bytes.size() + static_cast<size_t>(n) > kMaxPictureFileBytes) FailRead(path, too_large);
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
}

void WritePictureFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::string temp_path;
  int fd = CreateTemporaryBeside(path, &temp_path);
  if (fd < 0) FailWrite(path, errno);

  // The data reaches the disk before the rename, so that after a crash the name holds
  // either the old picture or the whole new one.
  bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  int error = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && ::rename(temp_path.c_str(), path.c_str()) == 0) return;
  if (written) error = errno;
  ::unlink(temp_path.c_str());
  FailWrite(path, error);
}

}  // namespace korvex::engine
