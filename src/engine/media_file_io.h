// File access for the media libraries: an I/O context over a local file named by any UTF-8
// path (spaces, quotes, non-ASCII letters, a leading '-' or a ':' included), and demuxer inputs
// opened through it. Names with a library protocol ("http:", "pipe:", ...) go to the library.
#pragma once

#include <memory>
#include <string>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

namespace korvex::engine {

// An I/O context either reads or writes; a muxer that seeks back writes through kWrite.
enum class FileAccess {
  kRead,   // an existing file
  kWrite,  // created or truncated
};

struct FileIoDeleter {
  void operator()(AVIOContext* io) const;  // closes the file and frees the buffer
};
using FileIoPtr = std::unique_ptr<AVIOContext, FileIoDeleter>;

// Opens a file for the libraries; `name` is a user file name or its library form
// (FileNameToLibrary). Returns 0, or the library error code (AVERROR(ENOENT) for a missing file).
int OpenFileIo(std::string_view name, FileAccess access, FileIoPtr& io);

// Closes a demuxer input and, when the input reads through our file access, that too.
struct InputContextDeleter {
  void operator()(AVFormatContext* context) const;
};
using InputContextPtr = std::unique_ptr<AVFormatContext, InputContextDeleter>;

// Opens `file_name` (a user file name) for demuxing with the forced `format` or detection.
// The context's url is the library form of the name. Returns 0 or the library error code.
int OpenInputContext(std::string_view file_name, const AVInputFormat* format,
                     AVDictionary** options, InputContextPtr& input);

}  // namespace korvex::engine
