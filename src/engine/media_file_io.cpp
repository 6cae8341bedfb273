#include "engine/media_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "engine/file_names.h"

namespace korvex::engine {
namespace {

constexpr int kBufferSize = 64 * 1024;

struct OpenFile {
  explicit OpenFile(int file) : fd(file) {}
  ~OpenFile() { close(fd); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  const int fd;
};

int ReadPacket(void* opaque, uint8_t* buffer, int size) {
  const int fd = static_cast<OpenFile*>(opaque)->fd;
  for (;;) {
    const ssize_t done = read(fd, buffer, static_cast<size_t>(size));
    if (done > 0) return static_cast<int>(done);
    if (done == 0) return AVERROR_EOF;
    if (errno != EINTR) return AVERROR(errno);
  }
}

int WritePacket(void* opaque, uint8_t* buffer, int size) {
  const int fd = static_cast<OpenFile*>(opaque)->fd;
  int written = 0;
  while (written < size) {
    const ssize_t done = write(fd, buffer + written, static_cast<size_t>(size - written));
    if (done < 0) {
      if (errno == EINTR) continue;
      return AVERROR(errno);
    }
    written += static_cast<int>(done);
  }
  return written;
}

int64_t Seek(void* opaque, int64_t offset, int whence) {
  const int fd = static_cast<OpenFile*>(opaque)->fd;
  if (whence & AVSEEK_SIZE) {
    struct stat info {};
    return fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : AVERROR(errno);
  }
  const off_t position = lseek(fd, offset, whence & ~AVSEEK_FORCE);
  return position < 0 ? AVERROR(errno) : static_cast<int64_t>(position);
}

int OpenFlags(FileAccess access) {
  switch (access) {
    case FileAccess::kRead:
      return O_RDONLY;
    case FileAccess::kWrite:
      return O_WRONLY | O_CREAT | O_TRUNC;
  }
  return O_RDONLY;
}

}  // namespace

void FileIoDeleter::operator()(AVIOContext* io) const {
  if (!io) return;
  std::unique_ptr<OpenFile> file(static_cast<OpenFile*>(io->opaque));
  if (io->write_flag) avio_flush(io);
  av_freep(&io->buffer);
  avio_context_free(&io);
}

int OpenFileIo(std::string_view name, FileAccess access, FileIoPtr& io) {
  const std::string path = FileNameFromLibrary(name);
  const int fd = open(path.c_str(), OpenFlags(access) | O_CLOEXEC, 0666);
  if (fd < 0) return AVERROR(errno);
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    close(fd);
    return AVERROR(error);
  }
  auto file = std::make_unique<OpenFile>(fd);
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
  if (!buffer) return AVERROR(ENOMEM);
  const bool writes = access == FileAccess::kWrite;
  AVIOContext* context =
      avio_alloc_context(buffer, kBufferSize, writes ? 1 : 0, file.get(),
                         writes ? nullptr : ReadPacket, writes ? WritePacket : nullptr, Seek);
  if (!context) {
    av_free(buffer);
    return AVERROR(ENOMEM);
  }
  file.release();
  io.reset(context);
  return 0;
}

void InputContextDeleter::operator()(AVFormatContext* context) const {
  if (!context) return;
  AVIOContext* own_io = (context->flags & AVFMT_FLAG_CUSTOM_IO) ? context->pb : nullptr;
  avformat_close_input(&context);
  FileIoDeleter{}(own_io);
}

int OpenInputContext(std::string_view file_name, const AVInputFormat* format,
                     AVDictionary** options, InputContextPtr& input) {
  const std::string library_name = FileNameToLibrary(file_name);
  AVFormatContext* context = avformat_alloc_context();
  if (!context) return AVERROR(ENOMEM);
  FileIoPtr io;
  const bool local = library_name.rfind("unicode:", 0) == 0 || !HasLibraryProtocol(library_name);
  if (local) {
    const int error = OpenFileIo(library_name, FileAccess::kRead, io);
    if (error < 0) {
      avformat_free_context(context);
      return error;
    }
    context->pb = io.get();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
  }
  // On failure the library frees the context, but never an I/O context of ours.
  const int error = avformat_open_input(&context, library_name.c_str(), format, options);
  if (error < 0) return error;
  io.release();
  input.reset(context);
  return 0;
}

}  // namespace korvex::engine
