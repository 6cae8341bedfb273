// Frame-hook modules: shared libraries, loaded with the transcoder option "vhook", that receive
// every decoded picture of a task before it is scaled and encoded. A module exports the three
// entry points of korvex_frame_hook.h.
#pragma once

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace korvex::engine {

class FrameHookModules {
 public:
  FrameHookModules();
  ~FrameHookModules();
  FrameHookModules(const FrameHookModules&) = delete;
  FrameHookModules& operator=(const FrameHookModules&) = delete;

  // `argument` is the module's file followed by its arguments, separated by blanks. Loads and
  // configures it; raises EngineException "Failed to add video hook function: " + argument.
  void Add(std::string_view argument);

  // True while modules are loaded and not switched off.
  bool Active() const;
  // Switches the modules off for the rest of the task; they stay loaded until destruction.
  void SwitchOff();

  // Passes a picture to every module in the order they were added.
  void Process(uint8_t* const data[4], const int linesize[4], AVPixelFormat format, int width,
               int height, int64_t pts);

 private:
  struct Module;
  std::vector<std::unique_ptr<Module>> modules_;
  bool switched_off_ = false;
};

}  // namespace korvex::engine
