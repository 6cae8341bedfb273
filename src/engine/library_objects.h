// Owners for the media libraries' objects: each is freed by its own library function, on the
// error paths as well.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace korvex::engine {

struct CodecContextDeleter {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FormatContextDeleter {
  void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct FrameDeleter {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketDeleter {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerContextDeleter {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct DictionaryDeleter {
  void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
// For contexts that own no opened input or file: see media_file_io.h for those.
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using ScalerContextPtr = std::unique_ptr<SwsContext, ScalerContextDeleter>;
using DictionaryPtr = std::unique_ptr<AVDictionary, DictionaryDeleter>;

}  // namespace korvex::engine
