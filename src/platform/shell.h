// The desktop's handlers for web addresses and folders, and the power-off request.
#pragma once

#include <string>
#include <vector>

namespace korvex::platform {

// Opens a web address in the user's browser (xdg-open). False when it could not be started.
bool OpenUrl(const std::string& url);

// Shows a folder in the desktop's file manager (xdg-open). The folder is passed as one
// argument, never through a shell, whatever characters its name holds.
bool OpenFolder(const std::string& folder);

// Turning the computer off after the last conversion. The application uses SystemPowerOff;
// tests put a fake in its place.
class PowerOff {
 public:
  virtual ~PowerOff() = default;
  // Asks the system to power off. False when the request could not be made.
  virtual bool Request() = 0;
};

// Asks systemd to power off by running `systemctl poweroff` (or the given command).
class SystemPowerOff : public PowerOff {
 public:
  SystemPowerOff();
  explicit SystemPowerOff(std::vector<std::string> command);
  bool Request() override;

 private:
  std::vector<std::string> command_;
};

}  // namespace korvex::platform
