// The setup that runs before the loop: the stream tables and mapping, every output stream
// prepared, encoders and decoders opened, tags and chapters copied, headers written and the
// stream mapping printed.
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavutil/time.h>
}

#include <string>

#include "engine/codec_lock.h"
#include "engine/engine_exception.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

void PrepareBitstreamFilters(OutputStream& ost) {
  for (const BitstreamFilterEntry& entry : ost.bitstream_filter_entries) {
    const std::string chain =
        entry.arguments.empty() ? entry.name : entry.name + "=" + entry.arguments;
    AVBSFContext* context = nullptr;
    if (av_bsf_list_parse_str(chain.c_str(), &context) < 0)
      Fail(Format("Unknown bitstream filter %s", entry.name.c_str()));
    BitstreamFilterPtr filter(context);
    const AVRational base = ost.bitstream_filters.empty()
                                ? ost.packet_time_base
                                : ost.bitstream_filters.back()->time_base_out;
    const AVCodecParameters* parameters = ost.bitstream_filters.empty()
                                              ? ost.stream->codecpar
                                              : ost.bitstream_filters.back()->par_out;
    if (avcodec_parameters_copy(filter->par_in, parameters) < 0) Fail("av_mallocz fail");
    filter->time_base_in = base;
    if (av_bsf_init(filter.get()) < 0)
      Fail(Format("%s failed for stream %d, codec %s", entry.name.c_str(), ost.stream_index,
                  ost.stream_copy ? "copy" : avcodec_get_name(ost.stream->codecpar->codec_id)));
    ost.bitstream_filters.push_back(std::move(filter));
  }
  if (!ost.bitstream_filters.empty())
    avcodec_parameters_copy(ost.stream->codecpar, ost.bitstream_filters.back()->par_out);
}

void OpenDecoder(InputStream& ist) {
  AVCodecContext* decoder = ist.decoder.get();
  const AVMediaType kind = decoder->codec_type;
  const AVCodec* codec = decoder->codec ? decoder->codec : avcodec_find_decoder(decoder->codec_id);
  if (!codec)
    Fail(Format("Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                static_cast<int>(decoder->codec_id), ist.file_index, ist.stream_index,
                KindName(kind)));
  int opened = 0;
  {
    CodecLock lock;
    opened = avcodec_open2(decoder, codec, nullptr);
  }
  if (opened < 0)
    Fail(Format("Error while opening decoder for input stream #%d.%d (%s)", ist.file_index,
                ist.stream_index, KindName(kind)));
  ist.decoder_opened = true;
}

void CopyMetadataAndChapters(TranscoderState& s) {
  for (const MetaDataMap& map : s.settings.meta_data_maps) {
    if (map.out_file < 0 || map.out_file >= static_cast<int>(s.registered_outputs.size()))
      Fail(Format("Invalid output file index %d map_meta_data(%d,%d)", map.out_file, map.out_file,
                  map.in_file));
    if (map.in_file < 0 || map.in_file >= static_cast<int>(s.input_files.size()))
      Fail(Format("Invalid input file index %d map_meta_data(%d,%d)", map.in_file, map.out_file,
                  map.in_file));
    av_dict_copy(&s.registered_outputs[static_cast<size_t>(map.out_file)]->context->metadata,
                 s.input_files[static_cast<size_t>(map.in_file)].context->metadata,
                 AV_DICT_DONT_OVERWRITE);
  }
  for (const InputFile& input : s.input_files) {
    const AVFormatContext* from = input.context.get();
    if (from->nb_chapters == 0) continue;
    for (const std::unique_ptr<OutputFile>& output : s.output_files) {
      AVFormatContext* to = output->context.get();
      for (unsigned c = 0; c < from->nb_chapters; ++c) {
        const AVChapter* chapter = from->chapters[c];
        auto* copy = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!copy) Fail("av_mallocz fail");
        *copy = *chapter;
        copy->metadata = nullptr;
        av_dict_copy(&copy->metadata, chapter->metadata, 0);
        // The muxer context frees its chapters and their tags.
        int count = static_cast<int>(to->nb_chapters);
        const int added = av_dynarray_add_nofree(&to->chapters, &count, copy);
        to->nb_chapters = static_cast<unsigned>(count);
        if (added < 0) {
          av_dict_free(&copy->metadata);
          av_free(copy);
          Fail("av_mallocz fail");
        }
      }
    }
  }
}

void WriteHeaders(TranscoderState& s) {
  const size_t outputs = s.join_mode ? 1 : s.registered_outputs.size();
  bool all_rtp = true;
  for (size_t i = 0; i < outputs; ++i) {
    OutputFile& file = *s.registered_outputs[i];
    if (avformat_write_header(file.context.get(), nullptr) < 0) {
      const std::string text =
          Format("Could not write header for output file #%d (incorrect codec parameters ?)",
                 static_cast<int>(i));
      s.Log(llError, text);
      Fail(text);
    }
    file.header_written = true;
    all_rtp = all_rtp && std::string(file.context->oformat->name) == "rtp";
  }
  if (all_rtp && outputs > 0) {
    std::vector<AVFormatContext*> contexts;
    for (size_t i = 0; i < outputs; ++i) contexts.push_back(s.registered_outputs[i]->context.get());
    char sdp[16384];
    if (av_sdp_create(contexts.data(), static_cast<int>(contexts.size()), sdp, sizeof sdp) == 0)
      s.Log(llInfo, std::string("SDP:\r\n") + sdp);
  }
}

void PrintStreamMapping(TranscoderState& s) {
  const size_t outputs = s.join_mode ? 1 : s.registered_outputs.size();
  for (size_t i = 0; i < outputs; ++i)
    av_dump_format(s.registered_outputs[i]->context.get(), static_cast<int>(i),
                   s.registered_outputs[i]->name.c_str(), 1);
  if (s.Verbose() < 0) return;
  s.Log(llVerbose, "Stream mapping:");
  for (const OutputStream& ost : s.output_streams) {
    const InputStream& source = s.input_streams[static_cast<size_t>(ost.source_index)];
    const InputStream& sync = s.input_streams[static_cast<size_t>(ost.sync_index)];
    const char* kind = KindName(ost.stream->codecpar->codec_type);
    std::string line = Format("  Stream #%d.%d -> #%d.%d (%s)", source.file_index,
                              source.stream_index, ost.file_index, ost.stream_index, kind);
    if (ost.sync_index != ost.source_index)
      line += Format(" [sync #%d.%d (%s)]", sync.file_index, sync.stream_index,
                     KindName(sync.stream->codecpar->codec_type));
    s.Log(llVerbose, line);
  }
}

}  // namespace

void PrepareTranscode(TranscoderState& s) {
  if (s.settings.rate_emulation) {
    const int64_t now = av_gettime_relative();
    for (InputStream& ist : s.input_streams) ist.rate_emulation_start = now;
  }
  BuildOutputStreamTable(s);
  MapStreams(s);
  for (OutputStream& ost : s.output_streams) PrepareOutputStream(s, ost);
  for (size_t i = 0; i < s.output_streams.size(); ++i)
    OpenPassLogs(s, s.output_streams[i], static_cast<int>(i));

  // An encoder that fails to open is reported after the mapping has been printed.
  std::string encoder_failure;
  for (OutputStream& ost : s.output_streams) {
    if (!ost.encoding_needed || !ost.encoder_storage) continue;
    try {
      OpenEncoder(s, ost);
      PrepareBitstreamFilters(ost);
    } catch (const EngineException& error) {
      encoder_failure = error.what();
      break;
    }
  }
  for (OutputStream& ost : s.output_streams) {
    if (ost.stream_copy) PrepareBitstreamFilters(ost);
    if (!ost.encoder_storage && ost.encoding_needed) {
      // A further registration of a joined file writes through its owner's stream.
      ost.packet_time_base = ost.encoder->time_base;
      ost.encoder_opened = true;
    }
  }
  if (!encoder_failure.empty()) {
    PrintStreamMapping(s);
    s.Log(llError, encoder_failure);
    Fail(encoder_failure);
  }
  for (InputStream& ist : s.input_streams) {
    if (ist.decoding_needed) OpenDecoder(ist);
    const AVRational rate = ist.stream->avg_frame_rate;
    ist.pts =
        rate.num > 0 && ist.decoder->has_b_frames > 0
            ? -av_rescale(ist.decoder->has_b_frames, AV_TIME_BASE * int64_t{rate.den}, rate.num)
            : 0;
    ist.next_pts = kNoTimestamp;
    ist.is_start = true;
  }
  CopyMetadataAndChapters(s);
  WriteHeaders(s);
  PrintStreamMapping(s);
}

}  // namespace korvex::engine
