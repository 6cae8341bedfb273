// Replacing a whole file so that a crash or a full disk never leaves half of it: the new
// contents are written beside the file under a temporary name, synced, and renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace korvex::platform {

// Writes `bytes` into `target`, keeping the old file's permissions (a new file gets 0666 less
// the umask). Returns 0, or the errno of the step that failed; then the temporary file is gone
// and `target` is as it was.
int ReplaceFile(const std::string& target, std::string_view bytes);

// True for the temporary names ReplaceFile gives the file `name` (".<name>.<pid>.<n>"), so
// that a folder's leftovers of writers that died can be found.
bool IsTemporaryOf(std::string_view entry, std::string_view name);

// The folder of a path ("." for a bare name) and its last component.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace korvex::platform
