// The option state of one test task: settings, the generic options, hook modules and a fake of
// the task's files, with a dispatcher over them.
#pragma once

#include <string>
#include <vector>

#include "dictionary_contents.h"
#include "engine/frame_hooks/frame_hook_modules.h"
#include "engine/options/option_dispatcher.h"
#include "engine/options/transcoder_files.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"

namespace korvex::engine {

class FakeFiles : public TranscoderFiles {
 public:
  std::vector<AVRational> InputVideoTimeBases() const override { return input_time_bases; }
  int OutputFileCount() const override { return outputs; }
  void AddStreamToLastOutput(AVMediaType type) override { added_streams.push_back(type); }

  std::vector<AVRational> input_time_bases;
  int outputs = 0;
  std::vector<AVMediaType> added_streams;
};

struct OptionTestTask {
  TranscoderSettings settings;
  UserOptions options;
  FrameHookModules hooks;
  FakeFiles files;
  OptionDispatcher dispatcher{settings, options, hooks, &files};

  void Dispatch(std::string_view name, std::string_view value) { dispatcher.Dispatch(name, value); }
};

}  // namespace korvex::engine
