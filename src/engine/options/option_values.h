// Parsers for the argument syntaxes of the transcoder's options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/options/transcoder_settings.h"

namespace korvex::engine {

// The leading decimal number of the text, 0 when there is none (blanks before it are skipped).
int ParseInteger(std::string_view text);
int64_t ParseInteger64(std::string_view text);
// The leading real number of the text, 0 when there is none.
double ParseReal(std::string_view text);
// A flag is on for any text but "0".
bool ParseFlag(std::string_view text);

// Durations and dates in the libraries' syntax, in microseconds. A text the libraries refuse
// raises the invalid-duration or invalid-date message naming the option and the text.
int64_t ParseDuration(std::string_view option, std::string_view text);
int64_t ParseDate(std::string_view option, std::string_view text);

// "F.S" or "F.S:SF.SS" (any one character between the numbers); without the sync part the stream
// syncs to itself.
StreamMap ParseStreamMap(std::string_view text);
// "O:I" (any one character between the numbers).
MetaDataMap ParseMetaDataMap(std::string_view text);

// 64 integers separated by ","; raises "Syntax error in matrix ..." when fewer are given.
QuantMatrix ParseMatrix(std::string_view text);

// Four characters as a codec tag, the first in the lowest byte; false for any other length.
bool ParseCodecTag(std::string_view text, uint32_t& tag);

// The aspect ratio "A:B" (0 when B <= 0) or a real number (0 when unparsable).
double ParseAspectRatio(std::string_view text);

// "index:value" of the "itsscale" and "streamid" options; false when either part is missing.
bool SplitIndexValue(std::string_view text, std::string_view& index, std::string_view& value);

}  // namespace korvex::engine
