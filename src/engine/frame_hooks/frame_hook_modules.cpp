#include "engine/frame_hooks/frame_hook_modules.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "engine/engine_exception.h"
#include "engine/frame_hooks/korvex_frame_hook.h"

namespace korvex::engine {
namespace {

using ConfigureFunction = decltype(&korvex_frame_hook_configure);
using ProcessFunction = decltype(&korvex_frame_hook_process);
using ReleaseFunction = decltype(&korvex_frame_hook_release);

struct LibraryCloser {
  void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// The option separates the module file and its arguments with spaces and tabs.
constexpr std::string_view kBlanks = " \t";

std::vector<std::string> SplitAtBlanks(std::string_view text) {
  std::vector<std::string> words;
  size_t start = text.find_first_not_of(kBlanks);
  while (start != std::string_view::npos) {
    const size_t end = std::min(text.find_first_of(kBlanks, start), text.size());
    words.emplace_back(text.substr(start, end - start));
    start = text.find_first_not_of(kBlanks, end);
  }
  return words;
}

template <typename Function>
Function LookUp(void* handle, const char* name) {
  return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

struct FrameHookModules::Module {
  Module(LibraryHandle library, std::vector<std::string> module_words)
      : handle(std::move(library)), words(std::move(module_words)) {
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
  }
  // The context belongs to code inside the library, so it goes before the library does.
  ~Module() {
    if (configured) release(context);
  }

  LibraryHandle handle;
  ConfigureFunction configure = nullptr;
  ProcessFunction process = nullptr;
  ReleaseFunction release = nullptr;
  // The module may keep pointers into its arguments until it is released.
  std::vector<std::string> words;
  std::vector<char*> argv;
  void* context = nullptr;
  bool configured = false;
};

FrameHookModules::FrameHookModules() = default;

// Unloaded like a stack: a module may rely on what the modules loaded before it set up.
FrameHookModules::~FrameHookModules() {
  while (!modules_.empty()) modules_.pop_back();
}

void FrameHookModules::Add(std::string_view argument) {
  const EngineException failure("Failed to add video hook function: " + std::string(argument));
  std::vector<std::string> words = SplitAtBlanks(argument);
  if (words.empty()) throw failure;

  LibraryHandle handle(dlopen(words.front().c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle) throw failure;
  auto module = std::make_unique<Module>(std::move(handle), std::move(words));
  module->configure =
      LookUp<ConfigureFunction>(module->handle.get(), "korvex_frame_hook_configure");
  module->process = LookUp<ProcessFunction>(module->handle.get(), "korvex_frame_hook_process");
  module->release = LookUp<ReleaseFunction>(module->handle.get(), "korvex_frame_hook_release");
  if (!module->configure || !module->process || !module->release) throw failure;

  const int argc = static_cast<int>(module->words.size());
  if (module->configure(&module->context, argc, module->argv.data()) != 0) throw failure;
  module->configured = true;
  modules_.push_back(std::move(module));
}

bool FrameHookModules::Active() const { return !modules_.empty() && !switched_off_; }

void FrameHookModules::SwitchOff() { switched_off_ = true; }

void FrameHookModules::Process(uint8_t* const data[4], const int linesize[4], AVPixelFormat format,
                               int width, int height, int64_t pts) {
  if (!Active()) return;
  for (const std::unique_ptr<Module>& module : modules_) {
    // Each module gets its own copy of the plane table, so one cannot redirect the next.
    uint8_t* planes[4] = {data[0], data[1], data[2], data[3]};
    int line_sizes[4] = {linesize[0], linesize[1], linesize[2], linesize[3]};
    module->process(module->context, planes, line_sizes, format, width, height, pts);
  }
}

}  // namespace korvex::engine
