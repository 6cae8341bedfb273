// Option text comes from free-text fields that users type. Whatever it holds, applying it to an
// output must either succeed or end with an engine error: never crash, hang or corrupt memory.
// Hook modules are left out: loading arbitrary libraries is what that option is for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_exception.h"
#include "engine/frame_hooks/frame_hook_modules.h"
#include "engine/options/option_dispatcher.h"
#include "engine/options/option_text.h"
#include "engine/options/record_options.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"
#include "fuzz_check.h"

using namespace korvex::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string filtered;
  for (const OptionLine& line : ParseOptionText(text)) {
    if (line.key == "vhook") continue;
    filtered += line.key + "=" + line.value + "\n";
  }

  TranscoderSettings settings;
  UserOptions options;
  FrameHookModules hooks;
  OptionDispatcher dispatcher(settings, options, hooks);
  TOutputOptions output;
  output.ExtOptions = filtered;
  try {
    ApplyOutputOptions(output, dispatcher);
  } catch (const EngineException& e) {
    KORVEX_FUZZ_CHECK(e.what()[0] != '\0');
  }
  KORVEX_FUZZ_CHECK(settings.stream_maps.size() <= static_cast<size_t>(kMaxStreamMaps));
  KORVEX_FUZZ_CHECK(!hooks.Active());
  return 0;
}
