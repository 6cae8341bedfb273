#include "engine/bitmap/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/bitmap/bitmap_error.h"
#include "platform/file_replace.h"

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
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (const int error = platform::ReplaceFile(path, text); error != 0) FailWrite(path, error);
}

}  // namespace korvex::engine
