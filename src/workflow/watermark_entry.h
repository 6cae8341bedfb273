// One watermark of a job: a text or a picture drawn over the frames of a span of source time.
// The watermark list of a job holds these in drawing order; later entries cover earlier ones.
#pragma once

#include <cstdint>
#include <string>

namespace korvex::workflow {

// Style bits of a watermark font.
enum TFontStyle : uint32_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};

// The font of a text watermark. A new entry writes in black 12-point "Sans" (the desktop's
// default sans-serif family), without style.
struct TWmFont {
  std::string Name = "Sans";
  int Size = 12;       // points, at 96 dots per inch of the frame
  uint32_t Style = 0;  // TFontStyle bits
  uint32_t Color = 0;  // 0x00BBGGRR
};

// Kinds of watermark.
inline constexpr int32_t kTextWatermark = 0;
inline constexpr int32_t kPictureWatermark = 1;

struct TWmRec {
  std::string WmText;  // UTF-8
  TWmFont WmFont;
  // The text box in pixels of the source picture; the text starts at its top-left corner.
  int32_t TextLeft = 0;
  int32_t TextTop = 0;
  int32_t TextWidth = 0;
  int32_t TextHeight = 0;
  int32_t TextAlpha = 0;   // 0..255, 255 opaque
  uint32_t BackColor = 0;  // 0x00BBGGRR
  // True: the box is filled with BackColor. False: only the letters cover the frame.
  bool OpaqueBack = false;
  std::string ImageFile;  // a BMP picture of any depth
  int32_t ImageLeft = 0;
  int32_t ImageTop = 0;
  // Kept with the entry for the editor; the picture is drawn at its own size.
  int32_t ImageWidth = 0;
  int32_t ImageHeight = 0;
  int32_t ImageAlpha = 0;  // 0..255, 255 opaque
  int32_t WmKind = kTextWatermark;
  // Whole seconds of source time, both ends included.
  int32_t StartSec = 0;
  int32_t EndSec = 0;
};

}  // namespace korvex::workflow
