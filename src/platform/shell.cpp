#include "platform/shell.h"

#include "platform/spawn.h"

namespace korvex::platform {

bool OpenUrl(const std::string& url) { return SpawnDetached({"xdg-open", url}); }

bool OpenFolder(const std::string& folder) {
  // A name starting with "-" would read as an option; an absolute or "./" path does not.
  std::string argument = folder;
  if (!argument.empty() && argument.front() == '-') argument = "./" + argument;
  return SpawnDetached({"xdg-open", argument});
}

SystemPowerOff::SystemPowerOff() : SystemPowerOff({"systemctl", "poweroff"}) {}

SystemPowerOff::SystemPowerOff(std::vector<std::string> command) : command_(std::move(command)) {}

bool SystemPowerOff::Request() { return SpawnDetached(command_); }

}  // namespace korvex::platform
