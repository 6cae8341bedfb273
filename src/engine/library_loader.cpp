#include "engine/library_loader.h"

#include <dlfcn.h>

extern "C" {
#include <libavcodec/version.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/version.h>
#include <libavformat/avformat.h>
#include <libavutil/version.h>
#include <libswscale/version.h>
}

#include <cstring>

#include "engine/engine_logger.h"

namespace korvex::engine {
namespace {

struct TLibraryItem {
  const char* base_name;
  int version;  // -1: the file name has none
  std::vector<const char*> functions;
  void (*follow_up)();  // runs once the entry points are bound
  void (*release)();    // undoes the follow-up before the slot is unloaded
};

void NoFollowUp() {}
void InstallLogBridge() { TEngineLogger::Instance().InstallLibraryBridge(); }
void RemoveLogBridge() { TEngineLogger::Instance().RemoveLibraryBridge(); }
void StartNetwork() { avformat_network_init(); }
void StopNetwork() { avformat_network_deinit(); }
void RegisterDevices() { avdevice_register_all(); }

// What the engine calls in each library, in groups as the engine uses them.
const TLibraryItem& Item(int slot) {
  static const TLibraryItem kItems[kLibrarySlotCount] = {
      {"avcodec",
       LIBAVCODEC_VERSION_MAJOR,
       {"avcodec_find_decoder",
        "avcodec_find_decoder_by_name",
        "avcodec_find_encoder",
        "avcodec_find_encoder_by_name",
        "avcodec_descriptor_get",
        "avcodec_alloc_context3",
        "avcodec_free_context",
        "avcodec_parameters_to_context",
        "avcodec_parameters_from_context",
        "avcodec_open2",
        "avcodec_send_packet",
        "avcodec_receive_frame",
        "avcodec_send_frame",
        "avcodec_receive_packet",
        "avcodec_decode_subtitle2",
        "avcodec_encode_subtitle",
        "avcodec_flush_buffers",
        "avcodec_string",
        "avcodec_get_class",
        "av_packet_alloc",
        "av_packet_free",
        "av_packet_unref",
        "av_bsf_get_by_name",
        "av_bsf_alloc",
        "av_bsf_send_packet",
        "av_bsf_receive_packet",
        "av_parser_init",
        "av_parser_parse2",
        "av_parser_close",
        "swr_alloc_set_opts2",
        "swr_init",
        "swr_convert",
        "swr_free"},
       NoFollowUp,
       NoFollowUp},
      {"avdevice",
       LIBAVDEVICE_VERSION_MAJOR,
       {"avdevice_register_all"},
       RegisterDevices,
       NoFollowUp},
      {"avfilter",
       LIBAVFILTER_VERSION_MAJOR,
       {"avfilter_graph_alloc", "avfilter_graph_free", "avfilter_get_by_name",
        "avfilter_graph_create_filter", "avfilter_graph_parse_ptr", "avfilter_graph_config",
        "avfilter_inout_alloc", "avfilter_inout_free", "avfilter_link",
        "av_buffersrc_add_frame_flags", "av_buffersink_get_frame", "avfilter_get_class"},
       NoFollowUp,
       NoFollowUp},
      {"avformat",
       LIBAVFORMAT_VERSION_MAJOR,
       {"av_find_input_format",
        "av_guess_format",
        "avformat_alloc_context",
        "avformat_alloc_output_context2",
        "avformat_open_input",
        "avformat_close_input",
        "avformat_find_stream_info",
        "avformat_new_stream",
        "avformat_free_context",
        "av_read_frame",
        "av_seek_frame",
        "avformat_seek_file",
        "av_read_play",
        "av_read_pause",
        "avformat_write_header",
        "av_interleaved_write_frame",
        "av_write_trailer",
        "avio_alloc_context",
        "avio_context_free",
        "avio_size",
        "avio_open2",
        "avio_closep",
        "avformat_get_class",
        "avformat_network_init",
        "avformat_network_deinit"},
       StartNetwork,
       StopNetwork},
      {"avutil",
       LIBAVUTIL_VERSION_MAJOR,
       {"av_malloc",
        "av_free",
        "av_freep",
        "av_rescale_q",
        "av_rescale_rnd",
        "av_reduce",
        "av_gcd",
        "av_audio_fifo_alloc",
        "av_audio_fifo_free",
        "av_log",
        "av_log_set_callback",
        "av_log_set_level",
        "av_log_get_level",
        "av_dict_get",
        "av_dict_set",
        "av_dict_free",
        "av_strerror",
        "av_frame_alloc",
        "av_frame_free",
        "av_parse_time",
        "av_parse_video_size",
        "av_parse_video_rate",
        "av_opt_find",
        "av_opt_set",
        "av_pix_fmt_desc_get",
        "av_get_pix_fmt_name",
        "av_get_sample_fmt_name",
        "av_gettime"},
       InstallLogBridge,
       RemoveLogBridge},
      {"swscale",
       LIBSWSCALE_VERSION_MAJOR,
       {"sws_getContext", "sws_getCachedContext", "sws_scale", "sws_freeContext"},
       NoFollowUp,
       NoFollowUp},
      {"c",
       6,
       {"fopen", "fclose", "fread", "fwrite", "fseek", "ftell", "fprintf", "snprintf", "vsprintf",
        "strtod", "strtok", "strtol"},
       NoFollowUp,
       NoFollowUp},
      {"SDL2-2.0",
       0,
       {"SDL_Init",
        "SDL_InitSubSystem",
        "SDL_Quit",
        "SDL_QuitSubSystem",
        "SDL_setenv",
        "SDL_GetError",
        "SDL_OpenAudioDevice",
        "SDL_CloseAudioDevice",
        "SDL_PauseAudioDevice",
        "SDL_MixAudioFormat",
        "SDL_GetAudioDriver",
        "SDL_GetCurrentAudioDriver",
        "SDL_CreateThread",
        "SDL_WaitThread",
        "SDL_CreateMutex",
        "SDL_DestroyMutex",
        "SDL_LockMutex",
        "SDL_UnlockMutex",
        "SDL_CreateCond",
        "SDL_DestroyCond",
        "SDL_CondSignal",
        "SDL_CondWait",
        "SDL_CondWaitTimeout",
        "SDL_PushEvent",
        "SDL_WaitEvent",
        "SDL_PollEvent",
        "SDL_AddTimer",
        "SDL_RemoveTimer",
        "SDL_Delay",
        "SDL_GetTicks"},
       NoFollowUp,
       NoFollowUp},
  };
  return kItems[slot];
}

bool ValidSlot(int slot) { return slot >= 0 && slot < kLibrarySlotCount; }

// dlerror() prefixes the system's text with the path it tried; the message names the path itself.
std::string SystemText(const std::string& path) {
  const char* error = dlerror();
  std::string text = error ? error : "unknown error";
  const std::string prefix = path + ": ";
  if (text.rfind(prefix, 0) == 0) text.erase(0, prefix.size());
  return text;
}

}  // namespace

TLibraryLoader& TLibraryLoader::Instance() {
  static TLibraryLoader loader;
  return loader;
}

std::string TLibraryLoader::LastLoadError() const {
  std::lock_guard lock(mutex_);
  return last_error_;
}

void TLibraryLoader::SetLibraryFolder(const std::string& folder) {
  std::lock_guard lock(mutex_);
  folder_ = folder;
}

std::string TLibraryLoader::LibraryFolder() const {
  std::lock_guard lock(mutex_);
  return folder_;
}

std::string TLibraryLoader::LibraryFileName(int slot) const {
  if (!ValidSlot(slot)) return {};
  std::lock_guard lock(mutex_);
  return FileName(slot);
}

std::string TLibraryLoader::FileName(int slot) const {
  if (!status_[slot].custom_file_name.empty()) return status_[slot].custom_file_name;
  const TLibraryItem& item = Item(slot);
  std::string name = std::string("lib") + item.base_name + ".so";
  if (item.version >= 0) name += "." + std::to_string(item.version);
  return name;
}

void TLibraryLoader::SetCustomFileName(int slot, const std::string& file_name) {
  if (!ValidSlot(slot)) return;
  std::lock_guard lock(mutex_);
  status_[slot].custom_file_name = file_name;
}

bool TLibraryLoader::LoadLib(int slot) {
  if (!ValidSlot(slot)) return false;
  std::lock_guard lock(mutex_);
  Status& status = status_[slot];
  if (!status.module && !OpenModule(slot)) return false;
  if (!status.bound && !Bind(slot)) Unload(slot);
  return status.bound;
}

// The libraries are part of the process, so the system's search finds the very copy the program
// was built with; opening a copy from the library folder would load a second, possibly different
// build beside it. Only a slot restricted to the folder (a test seam) is opened from there.
bool TLibraryLoader::OpenModule(int slot) {
  Status& status = status_[slot];
  const std::string name = FileName(slot);
  std::string path = name;
  if (status.folder_only && !folder_.empty() && name.find('/') == std::string::npos) {
    path = folder_ + (folder_.back() == '/' ? "" : "/") + name;
  }
  dlerror();
  status.module = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!status.module) {
    last_error_ = "Load library " + path + " error: " + SystemText(path);
    return false;
  }
  return true;
}

bool TLibraryLoader::Bind(int slot) {
  Status& status = status_[slot];
  const TLibraryItem& item = Item(slot);
  const std::string file_name = FileName(slot);
  auto look_up = [&](const std::string& symbol, SymbolKind kind) {
    dlerror();
    if (dlsym(status.module, symbol.c_str())) return true;
    const char* error = dlerror();
    last_error_ = std::string(kind == SymbolKind::kFunction ? "Load function " : "Load variable ") +
                  symbol + "@" + file_name + " error: " + (error ? error : "symbol not found");
    return false;
  };
  for (const char* function : item.functions) {
    if (!look_up(function, SymbolKind::kFunction)) return false;
  }
  for (const auto& [symbol, kind] : status.extra_symbols) {
    if (!look_up(symbol, kind)) return false;
  }
  status.bound = true;
  item.follow_up();
  return true;
}

void TLibraryLoader::Unload(int slot) {
  Status& status = status_[slot];
  if (status.bound) Item(slot).release();
  status.bound = false;
  if (status.module) dlclose(status.module);
  status.module = nullptr;
}

bool TLibraryLoader::LoadLibs(LibrarySet slots) {
  for (int slot = 0; slot < kLibrarySlotCount; ++slot) {
    if (slots.Contains(slot) && !LoadLib(slot)) {
      UnloadLibs(slots);
      return false;
    }
  }
  return true;
}

bool TLibraryLoader::LibLoaded(int slot) const {
  if (!ValidSlot(slot)) return false;
  std::lock_guard lock(mutex_);
  return status_[slot].module && status_[slot].bound;
}

bool TLibraryLoader::LibsLoaded(LibrarySet slots) const {
  for (int slot = 0; slot < kLibrarySlotCount; ++slot) {
    if (slots.Contains(slot) && !LibLoaded(slot)) return false;
  }
  return true;
}

void TLibraryLoader::UnloadLib(int slot) {
  if (!ValidSlot(slot)) return;
  std::lock_guard lock(mutex_);
  Unload(slot);
}

void TLibraryLoader::UnloadLibs(LibrarySet slots) {
  for (int slot = 0; slot < kLibrarySlotCount; ++slot) {
    if (slots.Contains(slot)) UnloadLib(slot);
  }
}

void TLibraryLoader::RestrictToLibraryFolderForTesting(int slot, bool restricted) {
  if (!ValidSlot(slot)) return;
  std::lock_guard lock(mutex_);
  status_[slot].folder_only = restricted;
}

void TLibraryLoader::RequireSymbolForTesting(int slot, const std::string& name, SymbolKind kind) {
  if (!ValidSlot(slot)) return;
  std::lock_guard lock(mutex_);
  status_[slot].extra_symbols.emplace_back(name, kind);
}

void TLibraryLoader::ResetForTesting() {
  for (int slot = 0; slot < kLibrarySlotCount; ++slot) {
    UnloadLib(slot);
    std::lock_guard lock(mutex_);
    status_[slot] = Status{};
  }
  std::lock_guard lock(mutex_);
  folder_.clear();
  last_error_.clear();
}

}  // namespace korvex::engine
