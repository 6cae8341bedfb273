// The option dispatcher: every named option of the transcoder changes the task's settings here.
// Names the transcoder has no handler of its own for go to the generic option setter.
#pragma once

#include <string_view>

#include "engine/engine_component.h"
#include "engine/engine_logger.h"

namespace korvex::engine {

struct TranscoderSettings;
class UserOptions;
class FrameHookModules;
class TranscoderFiles;

class OptionDispatcher {
 public:
  // `files` may be null while the task has none; `sender` names the component in log lines.
  OptionDispatcher(TranscoderSettings& settings, UserOptions& options, FrameHookModules& hooks,
                   TranscoderFiles* files = nullptr, const TEngineComponent* sender = nullptr);

  // Names match exactly; raises EngineException with the option's message.
  void Dispatch(std::string_view name, std::string_view value);

  TranscoderSettings& Settings() { return settings_; }
  UserOptions& Options() { return options_; }
  TranscoderFiles* Files() const { return files_; }
  void Log(TLogLevel level, std::string_view text) const;

 private:
  TranscoderSettings& settings_;
  UserOptions& options_;
  FrameHookModules& hooks_;
  TranscoderFiles* files_;
  const TEngineComponent* sender_;
};

}  // namespace korvex::engine
