// The output stream table and the choice of the input stream that feeds each output stream.
#include <string>

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

AVMediaType KindOfInput(const InputStream& ist) { return ist.stream->codecpar->codec_type; }
AVMediaType KindOfOutput(const OutputStream& ost) { return ost.stream->codecpar->codec_type; }

int InputStreamIndex(const TranscoderState& s, int file, int stream) {
  if (file < 0 || file >= static_cast<int>(s.input_files.size())) return -1;
  const InputFile& input = s.input_files[static_cast<size_t>(file)];
  if (stream < 0 || stream >= static_cast<int>(input.context->nb_streams)) return -1;
  return input.first_stream + stream;
}

// The draft's kind, set when the stream was created; the stream's own parameters are only
// filled once the stream is prepared.
void NoteKind(OutputStream& ost, const StreamDraft& draft) {
  ost.stream->codecpar->codec_type = draft.encoder->codec_type;
}

// Among the free input streams of the kind: the one that holds the most frames, the first
// when tied (a stream with a count of 0 still beats none).
int ChooseFreeInput(const TranscoderState& s, AVMediaType kind, int group,
                    const std::vector<bool>& taken) {
  int chosen = -1;
  int64_t best = -1;
  for (size_t j = 0; j < s.input_streams.size(); ++j) {
    const InputStream& ist = s.input_streams[j];
    if (taken[j] || KindOfInput(ist) != kind || ist.stream->discard == AVDISCARD_ALL) continue;
    if (s.join_mode && ist.file_index != group) continue;
    const int64_t frames = ist.stream->nb_frames;
    if (frames > best) {
      best = frames;
      chosen = static_cast<int>(j);
    }
  }
  return chosen;
}

int LastUsableInput(const TranscoderState& s, AVMediaType kind) {
  int chosen = -1;
  for (size_t j = 0; j < s.input_streams.size(); ++j) {
    const InputStream& ist = s.input_streams[j];
    if (KindOfInput(ist) == kind && ist.stream->discard != AVDISCARD_ALL)
      chosen = static_cast<int>(j);
  }
  return chosen;
}

}  // namespace

void BuildOutputStreamTable(TranscoderState& s) {
  s.output_streams.clear();
  std::vector<size_t> first_stream_of;  // per registration: its first output stream
  for (size_t i = 0; i < s.registered_outputs.size(); ++i) {
    first_stream_of.push_back(s.output_streams.size());
    OutputFile& file = *s.registered_outputs[i];
    AVFormatContext* muxer = file.context.get();
    if (muxer->nb_streams == 0)
      Fail(Format("Output file #%d does not contain any stream", static_cast<int>(i)));
    // A joined file is registered once per input; its first registration owns the encoders.
    size_t first = 0;
    while (s.registered_outputs[first] != &file) ++first;
    for (unsigned k = 0; k < muxer->nb_streams; ++k) {
      OutputStream ost;
      ost.file_index = static_cast<int>(i);
      ost.stream_index = static_cast<int>(k);
      ost.stream = muxer->streams[k];
      StreamDraft& draft = file.drafts[k];
      NoteKind(ost, draft);
      ost.stream_copy = draft.stream_copy;
      ost.codec = draft.codec;
      if (first == i) {
        ost.encoder_storage = std::move(draft.encoder);
        ost.encoder = ost.encoder_storage.get();
        ost.bitstream_filter_entries = draft.bitstream_filters;
      } else {
        const OutputStream& owner = s.output_streams[first_stream_of[first] + k];
        ost.encoder = owner.encoder;
        ost.bitstream_filter_entries = owner.bitstream_filter_entries;
      }
      s.output_streams.push_back(std::move(ost));
    }
  }
  const std::vector<StreamMap>& maps = s.settings.stream_maps;
  if (maps.empty()) return;
  if (maps.size() != s.output_streams.size())
    Fail("Number of stream maps must match number of output streams");
  for (const StreamMap& map : maps) {
    if (InputStreamIndex(s, map.file_index, map.stream_index) < 0)
      Fail(Format("Could not find input stream #%d.%d", map.file_index, map.stream_index));
    if (InputStreamIndex(s, map.sync_file_index, map.sync_stream_index) < 0)
      Fail(Format("Could not find sync stream #%d.%d", map.sync_file_index, map.sync_stream_index));
  }
}

void MapStreams(TranscoderState& s) {
  const std::vector<StreamMap>& maps = s.settings.stream_maps;
  std::vector<bool> taken(s.input_streams.size(), false);
  for (size_t i = 0; i < s.output_streams.size(); ++i) {
    OutputStream& ost = s.output_streams[i];
    const AVMediaType kind = KindOfOutput(ost);
    if (!maps.empty()) {
      const StreamMap& map = maps[i];
      ost.source_index = InputStreamIndex(s, map.file_index, map.stream_index);
      ost.sync_index = InputStreamIndex(s, map.sync_file_index, map.sync_stream_index);
      const AVMediaType input_kind =
          KindOfInput(s.input_streams[static_cast<size_t>(ost.source_index)]);
      if (input_kind != kind)
        Fail(Format("Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)", map.file_index,
                    map.stream_index, KindName(input_kind), ost.file_index, ost.stream_index,
                    KindName(kind)));
    } else {
      int chosen = ChooseFreeInput(s, kind, ost.file_index, taken);
      if (chosen < 0 && !s.program_selected && !s.join_mode) chosen = LastUsableInput(s, kind);
      if (chosen < 0)
        Fail(Format("Could not find input stream matching output stream #%d.%d (%s)",
                    ost.file_index, ost.stream_index, KindName(kind)));
      ost.source_index = chosen;
      ost.sync_index = chosen;
    }
    taken[static_cast<size_t>(ost.source_index)] = true;
    s.input_streams[static_cast<size_t>(ost.source_index)].discard = false;
    ost.progress_active = true;
  }
}

}  // namespace korvex::engine
