// An INI file on disk, used the way profile files are used: there is no cache, every read
// opens and reads the file, and every write reaches the file before it returns.
//
// Writes are atomic: the new text goes to a temporary file in the same folder, which then
// replaces the old file by rename, so a write that is interrupted (a crash, a full disk)
// leaves the old file whole. Writers in this and in other processes are serialised by a lock
// on the folder where the file system offers one, so no one's key is lost between another
// writer's read and rename.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_document.h"

namespace korvex::platform {

// A write that could not reach the file; the message names the file and the system's reason.
class IniFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFile {
 public:
  explicit IniFile(std::string path);

  const std::string& Path() const { return path_; }

  // A missing or unreadable file, section or key reads as the default.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // A value that is not a whole decimal integer reads as the default.
  int ReadInteger(std::string_view section, std::string_view key, int default_value) const;
  // An integer value; any integer but 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;
  bool SectionExists(std::string_view section) const;
  std::vector<std::string> ReadSectionKeys(std::string_view section) const;

  // Each write throws IniFileError when the file cannot be written, or exists but cannot be
  // read (its keys would be lost), and IniFormatError when the name or value cannot be held
  // by an INI line; the file is then unchanged.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The current text of the file as a document (empty when the file is missing).
  IniDocument Load() const;

 private:
  std::string path_;
};

}  // namespace korvex::platform
