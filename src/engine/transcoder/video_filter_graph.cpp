// The video filter graph built when the options give a filter text: the decoded pictures go in
// at "src", are cropped and scaled to the encoder's size when needed, pass the user's filters
// and leave at "out" in the encoder's pixel format.
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include "engine/engine_texts.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

struct FilterInOutDeleter {
  void operator()(AVFilterInOut* list) const { avfilter_inout_free(&list); }
};
using FilterInOutPtr = std::unique_ptr<AVFilterInOut, FilterInOutDeleter>;

[[noreturn]] void FailFilters(int error) {
  if (error < 0) Fail("Error opening filters: " + ErrorDescription(error));
  Fail("Error opening filters!");
}

void Check(int error) {
  if (error < 0) FailFilters(error);
}

AVFilterContext* AddFilter(AVFilterGraph* graph, const char* filter, const char* name,
                           const std::string& arguments) {
  AVFilterContext* context = nullptr;
  Check(avfilter_graph_create_filter(&context, avfilter_get_by_name(filter), name,
                                     arguments.empty() ? nullptr : arguments.c_str(), nullptr,
                                     graph));
  return context;
}

}  // namespace

void BuildVideoFilterGraph(TranscoderState& s, InputStream& ist, OutputStream& ost) {
  const AVCodecParameters* in = ist.stream->codecpar;
  AVCodecContext* encoder = ost.encoder;
  VideoFilterGraph& filters = ist.filters;
  filters.graph.reset(avfilter_graph_alloc());
  if (!filters.graph) FailFilters(AVERROR(ENOMEM));
  AVFilterGraph* graph = filters.graph.get();
  graph->nb_threads = 1;

  // Pictures go in timed in microseconds, the input stream's current time.
  const AVRational sar =
      in->sample_aspect_ratio.num > 0 ? in->sample_aspect_ratio : AVRational{0, 1};
  filters.source =
      AddFilter(graph, "buffer", "src",
                Format("video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=%d/%d", in->width,
                       in->height, in->format, AV_TIME_BASE, sar.num, sar.den));
  filters.sink = avfilter_graph_alloc_filter(graph, avfilter_get_by_name("buffersink"), "out");
  if (!filters.sink) FailFilters(AVERROR(ENOMEM));
  const AVPixelFormat accepted[] = {encoder->pix_fmt, AV_PIX_FMT_NONE};
  Check(av_opt_set_int_list(filters.sink, "pix_fmts", accepted, AV_PIX_FMT_NONE,
                            AV_OPT_SEARCH_CHILDREN));
  Check(avfilter_init_str(filters.sink, nullptr));

  AVFilterContext* last = filters.source;
  const int width = in->width - ost.left_band - ost.right_band;
  const int height = in->height - ost.top_band - ost.bottom_band;
  if (ost.video_crop) {
    AVFilterContext* crop = AddFilter(
        graph, "crop", "crop", Format("%d:%d:%d:%d", width, height, ost.left_band, ost.top_band));
    Check(avfilter_link(last, 0, crop, 0));
    last = crop;
  }
  if (width != encoder->width || height != encoder->height) {
    AVFilterContext* scale = AddFilter(
        graph, "scale", "scale",
        Format("%d:%d:flags=0x%X", encoder->width, encoder->height, s.settings.sws_flags));
    Check(avfilter_link(last, 0, scale, 0));
    last = scale;
  }
  const std::string scaler_options = Format("flags=0x%X", s.settings.sws_flags);
  graph->scale_sws_opts = av_strdup(scaler_options.c_str());

  FilterInOutPtr outputs(avfilter_inout_alloc());
  FilterInOutPtr inputs(avfilter_inout_alloc());
  if (!outputs || !inputs) FailFilters(AVERROR(ENOMEM));
  outputs->name = av_strdup("in");
  outputs->filter_ctx = last;
  outputs->pad_idx = 0;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = filters.sink;
  inputs->pad_idx = 0;
  AVFilterInOut* open_inputs = inputs.release();
  AVFilterInOut* open_outputs = outputs.release();
  const int parsed = avfilter_graph_parse_ptr(graph, s.settings.filters.c_str(), &open_inputs,
                                              &open_outputs, nullptr);
  avfilter_inout_free(&open_inputs);
  avfilter_inout_free(&open_outputs);
  Check(parsed);
  Check(avfilter_graph_config(graph, nullptr));
  encoder->width = av_buffersink_get_w(filters.sink);
  encoder->height = av_buffersink_get_h(filters.sink);
}

}  // namespace korvex::engine
