#include "platform/ini_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

#include "platform/file_replace.h"
#include "platform/text.h"

namespace korvex::platform {

namespace {

// Closes a file descriptor when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

// Reads the whole file into `text`; a missing file is an empty text. False, with errno set
// and `text` empty, when the file exists but cannot be read to its end.
bool ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno == ENOENT;
  char buffer[16384];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      text->clear();
      errno = error;
      return false;
    }
    if (n == 0) return true;
    text->append(buffer, static_cast<size_t>(n));
  }
}

// Writes go through a symbolic link to the file it names, so the link stays a link.
std::string ResolveTarget(const std::string& path) {
  char resolved[PATH_MAX];
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
      ::realpath(path.c_str(), resolved) != nullptr) {
    return resolved;
  }
  return path;
}

// A writer that died between creating its temporary file and the rename (killed, or the
// machine went down) left that file behind. Writers create temporary files only while they
// hold the folder's lock, so with the lock held every temporary file of `target` is such a
// leftover and is removed.
void RemoveLeftoverTemporaries(int folder_fd, const std::string& target) {
  std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(FolderOf(target).c_str()), ::closedir);
  if (!folder) return;
  const std::string name = NameOf(target);
  while (const dirent* entry = ::readdir(folder.get())) {
    if (IsTemporaryOf(entry->d_name, name)) ::unlinkat(folder_fd, entry->d_name, 0);
  }
}

[[noreturn]] void Fail(const std::string& path, int error) {
  throw IniFileError("Cannot write the settings file " + path + ": " + std::strerror(error));
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

IniDocument IniFile::Load() const {
  std::string text;
  ReadWholeFile(path_, &text);
  return IniDocument::Parse(text);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view default_value) const {
  std::optional<std::string> value = Load().Get(section, key);
  return value ? *value : std::string(default_value);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int default_value) const {
  std::optional<std::string> value = Load().Get(section, key);
  if (!value) return default_value;
  return ParseInt(*value).value_or(default_value);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool default_value) const {
  return ReadInteger(section, key, default_value ? 1 : 0) != 0;
}

bool IniFile::SectionExists(std::string_view section) const { return Load().HasSection(section); }

std::vector<std::string> IniFile::ReadSectionKeys(std::string_view section) const {
  return Load().Keys(section);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string target = ResolveTarget(path_);
  const std::string folder = FolderOf(target);

  FileDescriptor folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder_fd.get() < 0) Fail(path_, errno);
  // A file system that cannot lock a folder (NFS, where the lock needs a file open for
  // writing) does not stop the write: it goes ahead unlocked and, not knowing whether another
  // writer is busy, leaves the temporaries it finds alone.
  bool locked = true;
  while (::flock(folder_fd.get(), LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    if (errno != EBADF && errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) {
      Fail(path_, errno);
    }
    locked = false;
    break;
  }

  if (locked) RemoveLeftoverTemporaries(folder_fd.get(), target);

  // Read under the lock, so that a concurrent writer's key is part of what we write back.
  // A file that exists but cannot be read is left alone: replacing it would lose its keys.
  std::string old_text;
  if (!ReadWholeFile(target, &old_text)) Fail(path_, errno);
  IniDocument doc = IniDocument::Parse(old_text);
  doc.Set(section, key, value);
  const std::string text = doc.Serialize();

  if (const int error = ReplaceFile(target, text); error != 0) Fail(path_, error);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace korvex::platform
