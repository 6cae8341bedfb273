// Starting helper programs of the desktop without a shell.
#pragma once

#include <string>
#include <vector>

namespace korvex::platform {

// Starts argv[0] (looked up in PATH) with exactly these arguments and does not wait for it;
// the child is reaped in the background. No shell is involved, so no character of an
// argument has any special meaning. False when the program could not be started.
bool SpawnDetached(const std::vector<std::string>& argv);

}  // namespace korvex::platform
