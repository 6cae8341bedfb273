#include "engine/options/user_options.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>

#include "engine/engine_logger.h"
#include "engine/options/option_text.h"

namespace korvex::engine {

namespace {

// What became of a pair offered to a group of options: none knows the name, one that knows it
// refused the value, or it was taken.
enum class Outcome { kUnknown, kRefused, kAccepted };

// The stream kinds in the order a bare name is offered to them, each with the option flag its
// options must carry (0: any codec option).
struct KindFlag {
  AVMediaType type;
  int flag;
};
constexpr KindFlag kCodingKinds[] = {
    {AVMEDIA_TYPE_VIDEO, AV_OPT_FLAG_VIDEO_PARAM},
    {AVMEDIA_TYPE_AUDIO, AV_OPT_FLAG_AUDIO_PARAM},
    {AVMEDIA_TYPE_DATA, 0},
    {AVMEDIA_TYPE_SUBTITLE, AV_OPT_FLAG_SUBTITLE_PARAM},
    {AVMEDIA_TYPE_ATTACHMENT, 0},
};
constexpr size_t kKindCount = std::size(kCodingKinds);

// Rate control options that the libraries flag for audio as well as video. A bare name means the
// video stream's, as it always has for the transcoder; the audio stream's are reached with the
// kind letter ("ab", "abt").
constexpr std::string_view kVideoRateControlNames[] = {"b", "bt", "maxrate", "minrate", "bufsize"};

bool IsVideoRateControlName(std::string_view name) {
  return std::ranges::find(kVideoRateControlNames, name) != std::end(kVideoRateControlNames);
}

// The letter in front of a name that no option knows names the kind it is meant for.
std::optional<size_t> KindIndexOfLetter(char letter) {
  switch (letter) {
    case 'v':
      return 0;
    case 'a':
      return 1;
    case 's':
      return 3;
    default:
      return std::nullopt;
  }
}

// AVMediaType numbers the kinds in the order of kCodingKinds.
std::optional<size_t> KindIndexOf(AVMediaType type) {
  if (type < 0 || static_cast<size_t>(type) >= kKindCount) return std::nullopt;
  return static_cast<size_t>(type);
}

void AddPair(DictionaryPtr& pairs, const std::string& name, const std::string& value) {
  AVDictionary* raw = pairs.release();
  av_dict_set(&raw, name.c_str(), value.c_str(), 0);
  pairs.reset(raw);
}

DictionaryPtr CopyOf(const DictionaryPtr& pairs) {
  AVDictionary* copy = nullptr;
  av_dict_copy(&copy, pairs.get(), 0);
  return DictionaryPtr(copy);
}

// Each pair goes to the object or one of its children (the private options of a codec or
// muxer). A pair the object does not know is left out; one it refuses (the library says why)
// does not keep the pairs after it away.
void ApplyPairs(void* object, const DictionaryPtr& pairs) {
  if (object == nullptr) return;
  const AVDictionaryEntry* entry = nullptr;
  while ((entry = av_dict_get(pairs.get(), "", entry, AV_DICT_IGNORE_SUFFIX)) != nullptr) {
    av_opt_set(object, entry->key, entry->value, AV_OPT_SEARCH_CHILDREN);
  }
}

// A throwaway object of an option class, holding the class's defaults, to try a value on
// without touching anything that is kept. Demuxers have no public way to allocate their private
// objects, and a codec or muxer context per candidate buys nothing, so the object is a zeroed
// block reaching past the farthest option field, its first member the class. The object's own
// complaints are silenced, as the setter reports a refusal itself; the expression parser still
// says why a number did not parse.
class OptionProbe {
 public:
  explicit OptionProbe(const AVClass* option_class) : class_(*option_class) {
    size_t end = sizeof(const AVClass*);
    for (const AVOption* option = nullptr; (option = av_opt_next(&option_class, option));) {
      if (option->type != AV_OPT_TYPE_CONST) {
        end = std::max(end, static_cast<size_t>(option->offset) + kWidestOptionValue);
      }
    }
    const size_t level_offset = (end + alignof(int) - 1) / alignof(int) * alignof(int);
    object_.reset(static_cast<uint8_t*>(av_mallocz(level_offset + sizeof(int))));
    if (!object_) throw std::bad_alloc();
    class_.log_level_offset_offset = static_cast<int>(level_offset);
    *reinterpret_cast<const AVClass**>(object_.get()) = &class_;
    *reinterpret_cast<int*>(object_.get() + level_offset) = kSilencingLevelOffset;
    av_opt_set_defaults(object_.get());
  }
  OptionProbe(const OptionProbe&) = delete;
  OptionProbe& operator=(const OptionProbe&) = delete;

  bool Takes(const std::string& name, const std::string& value) {
    return av_opt_set(object_.get(), name.c_str(), value.c_str(), 0) >= 0;
  }

 private:
  // A channel layout is the widest value an option stores (a binary option's pointer and
  // length take less).
  static constexpr size_t kWidestOptionValue =
      std::max(sizeof(AVChannelLayout), sizeof(uint8_t*) + sizeof(int));
  // Added to the level of the probe's messages, which puts them past every level the libraries
  // print (the libraries silence their own trial parses the same way).
  static constexpr int kSilencingLevelOffset = AV_LOG_MAX_OFFSET;

  struct ObjectDeleter {
    void operator()(uint8_t* object) const {
      av_opt_free(object);
      av_free(object);
    }
  };

  AVClass class_;  // the class with the probe's log level offset; outlives the object
  std::unique_ptr<uint8_t, ObjectDeleter> object_;
};

// Gathers the private option classes that know a name (with the flag), then offers them a
// value: taken when one of them takes it, refused when all refuse.
class PrivateClassOffer {
 public:
  PrivateClassOffer(const std::string& name, int flag) : name_(name), flag_(flag) {}

  void Consider(const AVClass* private_class) {
    if (private_class == nullptr) return;
    const AVOption* option =
        av_opt_find(&private_class, name_.c_str(), nullptr, flag_, AV_OPT_SEARCH_FAKE_OBJ);
    if (option == nullptr) return;
    // Classes sharing one option table (a muxer family, an encoder's variants) answer alike.
    const bool seen = std::ranges::any_of(knowers_, [&](const Knower& knower) {
      return knower.option_class->option == private_class->option;
    });
    if (!seen) knowers_.push_back({private_class, option});
  }

  Outcome Offer(const std::string& value) const {
    if (knowers_.empty()) return Outcome::kUnknown;
    // A text option takes any value; trying the others first would only log their refusals.
    const bool text = std::ranges::any_of(
        knowers_, [](const Knower& knower) { return knower.option->type == AV_OPT_TYPE_STRING; });
    if (text) return Outcome::kAccepted;
    for (const Knower& knower : knowers_) {
      if (OptionProbe(knower.option_class).Takes(name_, value)) return Outcome::kAccepted;
    }
    return Outcome::kRefused;
  }

 private:
  struct Knower {
    const AVClass* option_class;
    const AVOption* option;
  };
  const std::string& name_;
  int flag_;
  std::vector<Knower> knowers_;
};

Outcome OfferToCodecs(AVMediaType type, int flag, const std::string& name,
                      const std::string& value) {
  PrivateClassOffer offer(name, flag);
  void* iterator = nullptr;
  while (const AVCodec* codec = av_codec_iterate(&iterator)) {
    if (codec->type == type) offer.Consider(codec->priv_class);
  }
  return offer.Offer(value);
}

Outcome OfferToMuxersAndDemuxers(const std::string& name, const std::string& value) {
  PrivateClassOffer offer(name, 0);
  void* iterator = nullptr;
  while (const AVOutputFormat* muxer = av_muxer_iterate(&iterator)) {
    offer.Consider(muxer->priv_class);
  }
  iterator = nullptr;
  while (const AVInputFormat* demuxer = av_demuxer_iterate(&iterator)) {
    offer.Consider(demuxer->priv_class);
  }
  return offer.Offer(value);
}

// Sets the pair on a defaults object whose options know the name with the flag, and keeps it.
// The value is tried on a probe first, which keeps the object's own complaint about a refused
// value out of the log beside the setter's.
Outcome OfferToDefaults(void* defaults, int flag, const std::string& name, const std::string& value,
                        DictionaryPtr& pairs) {
  if (av_opt_find(defaults, name.c_str(), nullptr, flag, 0) == nullptr) return Outcome::kUnknown;
  const AVClass* option_class = *static_cast<const AVClass**>(defaults);
  if (!OptionProbe(option_class).Takes(name, value) ||
      av_opt_set(defaults, name.c_str(), value.c_str(), 0) < 0) {
    return Outcome::kRefused;
  }
  AddPair(pairs, name, value);
  return Outcome::kAccepted;
}

}  // namespace

struct UserOptions::Impl {
  struct CodingKind {
    AVMediaType type;
    int flag;
    CodecContextPtr defaults;
    DictionaryPtr pairs;
  };
  // One kind a name is offered to, with the flag its options must carry for this name.
  struct Target {
    CodingKind* kind;
    int flag;
  };

  Impl();

  std::vector<Target> BareNameTargets(const std::string& name);
  Target KindLetterTarget(size_t kind_index, const std::string& name);
  Outcome OfferToCoding(const std::vector<Target>& targets, const std::string& name,
                        const std::string& value);
  Outcome OfferToFormat(const std::string& name, const std::string& value);
  Outcome OfferToScaler(const std::string& name, const std::string& value);
  bool DebugRequested() const;

  std::array<CodingKind, kKindCount> kinds;
  FormatContextPtr format_defaults{avformat_alloc_context()};
  DictionaryPtr format_pairs;
  ScalerContextPtr scaler_defaults{sws_alloc_context()};
  DictionaryPtr scaler_pairs;
};

UserOptions::Impl::Impl() {
  for (size_t i = 0; i < kKindCount; ++i) {
    kinds[i].type = kCodingKinds[i].type;
    kinds[i].flag = kCodingKinds[i].flag;
    kinds[i].defaults.reset(avcodec_alloc_context3(nullptr));
    if (!kinds[i].defaults) throw std::bad_alloc();
    kinds[i].defaults->codec_type = kinds[i].type;
  }
  if (!format_defaults || !scaler_defaults) throw std::bad_alloc();
}

std::vector<UserOptions::Impl::Target> UserOptions::Impl::BareNameTargets(const std::string& name) {
  if (IsVideoRateControlName(name)) return {{&kinds[0], kinds[0].flag}};
  std::vector<Target> targets;
  for (CodingKind& kind : kinds) targets.push_back({&kind, kind.flag});
  return targets;
}

// With the kind named by its letter, the rate control options are the kind's own whatever the
// libraries flag them for.
UserOptions::Impl::Target UserOptions::Impl::KindLetterTarget(size_t kind_index,
                                                              const std::string& name) {
  CodingKind& kind = kinds[kind_index];
  return {&kind, IsVideoRateControlName(name) ? 0 : kind.flag};
}

// The coding defaults first, each kind that knows the name; only when none does, the private
// options of that kind's encoders and decoders. The first refusal ends the offer.
Outcome UserOptions::Impl::OfferToCoding(const std::vector<Target>& targets,
                                         const std::string& name, const std::string& value) {
  Outcome result = Outcome::kUnknown;
  for (const Target& target : targets) {
    const Outcome outcome =
        OfferToDefaults(target.kind->defaults.get(), target.flag, name, value, target.kind->pairs);
    if (outcome == Outcome::kRefused) return outcome;
    if (outcome == Outcome::kAccepted) result = outcome;
  }
  if (result != Outcome::kUnknown) return result;
  for (const Target& target : targets) {
    const Outcome outcome = OfferToCodecs(target.kind->type, target.flag, name, value);
    if (outcome == Outcome::kRefused) return outcome;
    if (outcome == Outcome::kAccepted) {
      AddPair(target.kind->pairs, name, value);
      result = outcome;
    }
  }
  return result;
}

Outcome UserOptions::Impl::OfferToFormat(const std::string& name, const std::string& value) {
  const Outcome outcome = OfferToDefaults(format_defaults.get(), 0, name, value, format_pairs);
  if (outcome != Outcome::kUnknown) return outcome;
  const Outcome private_outcome = OfferToMuxersAndDemuxers(name, value);
  if (private_outcome == Outcome::kAccepted) AddPair(format_pairs, name, value);
  return private_outcome;
}

Outcome UserOptions::Impl::OfferToScaler(const std::string& name, const std::string& value) {
  return OfferToDefaults(scaler_defaults.get(), 0, name, value, scaler_pairs);
}

bool UserOptions::Impl::DebugRequested() const {
  return kinds[0].defaults->debug != 0 || format_defaults->debug != 0;
}

UserOptions::UserOptions() : impl_(std::make_unique<Impl>()) {}

UserOptions::~UserOptions() = default;

bool UserOptions::Set(std::string_view name_text, std::string_view value_text) {
  try {
    const std::string name(TrimOptionText(name_text));
    const std::string value(TrimOptionText(value_text));
    if (name.empty() || value.empty()) return false;

    const std::optional<size_t> letter_kind =
        name.size() > 1 ? KindIndexOfLetter(name[0]) : std::nullopt;
    const std::string kind_name = letter_kind ? name.substr(1) : std::string();
    Outcome outcome = Outcome::kUnknown;
    // A kind letter before a rate control name always names that kind's option, also where the
    // library has an alias of its own ("ab" for the audio "b"): one setting, one stored name.
    if (!letter_kind || !IsVideoRateControlName(kind_name)) {
      outcome = impl_->OfferToCoding(impl_->BareNameTargets(name), name, value);
      if (outcome == Outcome::kUnknown) outcome = impl_->OfferToFormat(name, value);
      if (outcome == Outcome::kUnknown) outcome = impl_->OfferToScaler(name, value);
    }
    if (outcome == Outcome::kUnknown && letter_kind) {
      outcome = impl_->OfferToCoding({impl_->KindLetterTarget(*letter_kind, kind_name)}, kind_name,
                                     value);
    }

    if (outcome == Outcome::kRefused) {
      av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", value.c_str(),
             name.c_str());
    }
    if (outcome != Outcome::kAccepted) return false;
    if (std::ranges::find(user_option_names_, name) == user_option_names_.end()) {
      user_option_names_.push_back(name);
    }
    if (impl_->DebugRequested()) TEngineLogger::Instance().SetLogLevel(llDebug);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

const AVCodecContext& UserOptions::CodingDefaults(AVMediaType type) const {
  const std::optional<size_t> index = KindIndexOf(type);
  if (!index) throw std::invalid_argument("no coding defaults for this media type");
  return *impl_->kinds[*index].defaults;
}

const AVFormatContext& UserOptions::FormatDefaults() const { return *impl_->format_defaults; }

DictionaryPtr UserOptions::CodecOptions(AVMediaType type) const {
  const std::optional<size_t> index = KindIndexOf(type);
  return index ? CopyOf(impl_->kinds[*index].pairs) : DictionaryPtr();
}

DictionaryPtr UserOptions::FormatOptions() const { return CopyOf(impl_->format_pairs); }

DictionaryPtr UserOptions::ScalerOptions() const { return CopyOf(impl_->scaler_pairs); }

void UserOptions::ApplyCodecOptions(AVCodecContext* context, AVMediaType type) const {
  if (const std::optional<size_t> index = KindIndexOf(type)) {
    ApplyPairs(context, impl_->kinds[*index].pairs);
  }
}

void UserOptions::ApplyFormatOptions(AVFormatContext* context) const {
  ApplyPairs(context, impl_->format_pairs);
}

void UserOptions::ApplyScalerOptions(SwsContext* context) const {
  ApplyPairs(context, impl_->scaler_pairs);
}

}  // namespace korvex::engine
