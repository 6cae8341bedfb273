#include "engine/options/target_presets.h"

#include <cmath>
#include <optional>
#include <string>

#include "engine/engine_exception.h"
#include "engine/options/option_dispatcher.h"
#include "engine/options/transcoder_files.h"
#include "engine/options/transcoder_settings.h"

namespace korvex::engine {

namespace {

enum class Norm { kPal, kNtsc, kFilm };

// Frame rates in thousandths of a frame per second that name a norm.
std::optional<Norm> NormOfRate(long long rate_milli) {
  if (rate_milli == 23976 || rate_milli == 29970) return Norm::kNtsc;
  if (rate_milli == 25000) return Norm::kPal;
  return std::nullopt;
}

Norm DetectNorm(OptionDispatcher& dispatcher, std::string_view default_norm) {
  const AVRational rate = dispatcher.Settings().frame_rate;
  if (rate.den == 0) throw EngineException("frame_rate is invalid.");
  std::optional<Norm> norm = NormOfRate(std::llround(av_q2d(rate) * 1000));
  if (!norm && dispatcher.Files() != nullptr) {
    for (const AVRational time_base : dispatcher.Files()->InputVideoTimeBases()) {
      if (time_base.num == 0) continue;
      norm = NormOfRate(std::llround(1000.0 * time_base.den / time_base.num));
      if (norm) break;
    }
  }
  if (!norm) {
    norm = default_norm == "film" ? Norm::kFilm : default_norm == "ntsc" ? Norm::kNtsc : Norm::kPal;
  }
  if (dispatcher.Settings().verbose > 0) {
    dispatcher.Log(llVerbose, std::string("Assuming ") + (*norm == Norm::kPal ? "PAL" : "NTSC") +
                                  " for target.");
  }
  return *norm;
}

Norm ResolveNorm(OptionDispatcher& dispatcher, std::string_view norm,
                 std::string_view default_norm) {
  if (norm == "pal") return Norm::kPal;
  if (norm == "ntsc") return Norm::kNtsc;
  if (norm == "film") return Norm::kFilm;
  return DetectNorm(dispatcher, default_norm);
}

// The sizes and GOP lengths that differ between PAL and the NTSC-like norms.
struct NormChoice {
  const char* pal;
  const char* ntsc_like;
};

void AssumeAspect(OptionDispatcher& dispatcher, const char* aspect) {
  if (dispatcher.Settings().frame_aspect_ratio != 0) return;
  dispatcher.Dispatch("aspect", aspect);
  dispatcher.Log(llInfo, std::string("Assuming ") + aspect + " for aspect ratio");
}

void StereoWhenMono(OptionDispatcher& dispatcher) {
  if (dispatcher.Settings().audio_channels == 1) dispatcher.Dispatch("ac", "2");
}

}  // namespace

void ApplyTarget(OptionDispatcher& dispatcher, std::string_view target, std::string_view norm_text,
                 std::string_view default_norm) {
  const bool is_dv = target == "dv" || target == "dv50";
  if (target != "vcd" && target != "svcd" && target != "dvd" && !is_dv)
    throw EngineException("Unknown target type");

  const Norm norm = ResolveNorm(dispatcher, norm_text, default_norm);
  const bool pal = norm == Norm::kPal;
  const auto by_norm = [pal](NormChoice choice) { return pal ? choice.pal : choice.ntsc_like; };
  auto set = [&dispatcher](std::string_view name, std::string_view value) {
    dispatcher.Dispatch(name, value);
  };
  const char* frame_rate = pal ? "25" : norm == Norm::kNtsc ? "30000/1001" : "24000/1001";
  TranscoderSettings& settings = dispatcher.Settings();

  if (is_dv) {
    set("f", "dv");
    set("s", by_norm({"720x576", "720x480"}));
    set("r", frame_rate);
    set("pix_fmt", target == "dv50" ? "yuv422p" : by_norm({"yuv420p", "yuv411p"}));
    set("ar", "48000");
    set("ac", "2");
    return;
  }

  if (target == "vcd") {
    set("vcodec", "mpeg1video");
    set("acodec", "mp2");
    set("f", "vcd");
    set("s", by_norm({"352x288", "352x240"}));
    set("r", frame_rate);
    set("g", by_norm({"15", "18"}));
    set("b", "1150000");
    set("maxrate", "1150000");
    set("minrate", "1150000");
    set("bufsize", "327680");
    set("ab", "224000");
    set("ar", "44100");
    set("ac", "2");
    set("packetsize", "2324");
    set("muxrate", "1411200");
    settings.mux_preload = 0.44;
    AssumeAspect(dispatcher, "4:3");
  } else if (target == "svcd") {
    set("vcodec", "mpeg2video");
    set("acodec", "mp2");
    set("f", "svcd");
    set("s", by_norm({"480x576", "480x480"}));
    set("r", frame_rate);
    set("g", by_norm({"15", "18"}));
    set("b", "2040000");
    set("maxrate", "2516000");
    set("minrate", "0");
    set("bufsize", "1835008");
    // The MPEG-2 encoder now carries the SVCD scan offset as its own option.
    set("scan_offset", "1");
    set("ab", "224000");
    set("ar", "44100");
    StereoWhenMono(dispatcher);
    set("packetsize", "2324");
    AssumeAspect(dispatcher, "4:3");
  } else {
    set("vcodec", "mpeg2video");
    set("acodec", "ac3");
    set("f", "dvd");
    set("s", by_norm({"720x576", "720x480"}));
    set("r", frame_rate);
    set("g", by_norm({"15", "18"}));
    set("b", "6000000");
    set("maxrate", "9000000");
    set("minrate", "0");
    set("bufsize", "1835008");
    set("ab", "448000");
    set("ar", "48000");
    StereoWhenMono(dispatcher);
    set("packetsize", "2048");
    set("muxrate", "10080000");
    AssumeAspect(dispatcher, "16:9");
  }
}

}  // namespace korvex::engine
