// The text of an INI file held in memory, with the lookup and update rules of Windows profile
// files: sections and keys compare without regard to case, the first of equal sections or keys
// is the one read and written, a key keeps the spelling of its first writer, and every line
// that is not touched by an update (comments, unknown lines, blank lines) is kept as it was.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::platform {

// A section, key or value that an INI line cannot carry (line breaks, "=" in a key, ...).
class IniFormatError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

class IniDocument {
 public:
  // Never fails: lines that are neither sections, keys nor comments are kept but not read.
  static IniDocument Parse(std::string_view text);

  // The value of a key: blanks around it removed, one pair of enclosing quotes removed.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  bool HasSection(std::string_view section) const;
  // The keys of a section in file order, as spelled in the file, each once.
  std::vector<std::string> Keys(std::string_view section) const;

  // Sets a key's value. An existing key is rewritten in place; a new key goes after the last
  // key of its section; a new section is appended at the end. Throws IniFormatError for names
  // or values that a line cannot hold, and then leaves the document unchanged.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;

 private:
  enum class LineKind { kOther, kSection, kKey };
  struct Line {
    std::string raw;  // the line without its end-of-line characters
    LineKind kind = LineKind::kOther;
    std::string name;  // section name or key, blanks removed
  };

  // Index of the header line of the first section of this name, or npos.
  size_t FindSection(std::string_view section) const;
  // Index one past the last line that belongs to the section starting at `header`.
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;

  std::vector<Line> lines_;
  std::string eol_ = "\n";
  bool byte_order_mark_ = false;
};

}  // namespace korvex::platform
