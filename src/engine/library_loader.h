// The binding of the media libraries. They are linked when the program is built, so loading a
// library slot means: find the library in the process (opening it when it is not there yet),
// check that every entry point the engine calls is present, and run the library's follow-up
// (the logger's bridge for the utility library, network start-up for the format library, device
// registration). Components load the set of slots they need and refuse to work without it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace korvex::engine {

enum TLibrarySlot : int {
  lsAVCodec = 0,
  lsAVDevice = 1,
  lsAVFilter = 2,
  lsAVFormat = 3,
  lsAVUtil = 4,
  lsSwScale = 5,
  lsCRuntime = 6,
  lsSDL = 7,
};
inline constexpr int kLibrarySlotCount = 8;

// A set of slots, walked in ascending order.
class LibrarySet {
 public:
  constexpr LibrarySet(std::initializer_list<int> slots) {
    for (int slot : slots) bits_ |= 1u << slot;
  }
  constexpr bool Contains(int slot) const { return (bits_ >> slot) & 1u; }

 private:
  uint32_t bits_ = 0;
};

inline constexpr LibrarySet kConverterLibraries{0, 2, 3, 4, 5, 6};
inline constexpr LibrarySet kPlayerLibraries{0, 2, 3, 4, 5, 6, 7};
inline constexpr LibrarySet kProbeLibraries{0, 3, 4, 5};

enum class SymbolKind { kFunction, kVariable };

class TLibraryLoader {
 public:
  static TLibraryLoader& Instance();

  std::string LastLoadError() const;
  void SetLibraryFolder(const std::string& folder);
  std::string LibraryFolder() const;
  // "lib" + base name + ".so." + version (or without the version when it has none), unless a
  // custom file name is set for the slot.
  std::string LibraryFileName(int slot) const;
  void SetCustomFileName(int slot, const std::string& file_name);

  bool LoadLib(int slot);
  // Loads the slots in ascending order; at the first failure every slot of the set is unloaded,
  // also those that were loaded before this call, and the result is false.
  bool LoadLibs(LibrarySet slots);
  bool LibLoaded(int slot) const;
  bool LibsLoaded(LibrarySet slots) const;
  void UnloadLib(int slot);
  void UnloadLibs(LibrarySet slots);

  // Test seams. A slot restricted to the library folder is opened only from there, the way a
  // private copy of the libraries is; a folder without the file then fails for real. An extra
  // required symbol is looked up like the slot's own entry points.
  void RestrictToLibraryFolderForTesting(int slot, bool restricted);
  void RequireSymbolForTesting(int slot, const std::string& name, SymbolKind kind);
  void ResetForTesting();

 private:
  struct Status {
    std::string custom_file_name;
    void* module = nullptr;
    bool bound = false;
    bool folder_only = false;
    std::vector<std::pair<std::string, SymbolKind>> extra_symbols;
  };

  TLibraryLoader() = default;
  std::string FileName(int slot) const;  // with mutex_ held
  bool OpenModule(int slot);
  bool Bind(int slot);
  void Unload(int slot);

  mutable std::mutex mutex_;  // guards everything below
  std::string folder_;
  std::string last_error_;
  Status status_[kLibrarySlotCount];
};

}  // namespace korvex::engine
