#include "frame_bytes.h"

#include <sstream>

namespace korvex::workflow::testing {

std::string FirstByteDifference(const engine::Bitmap24& actual, const engine::Bitmap24& expected) {
  std::ostringstream out;
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height()) {
    out << actual.Width() << " x " << actual.Height() << " pixels instead of " << expected.Width()
        << " x " << expected.Height();
    return out.str();
  }
  for (int y = 0; y < actual.Height(); ++y) {
    for (int i = 0; i < actual.Stride(); ++i) {
      const int got = actual.Row(y)[i];
      const int want = expected.Row(y)[i];
      if (got == want) continue;
      out << "row " << y << ", byte " << i;
      if (i < 3 * actual.Width()) {
        out << " (pixel " << i / 3 << ", channel " << i % 3 << ")";
      } else {
        out << " (padding)";
      }
      out << ": " << got << " instead of " << want;
      return out.str();
    }
  }
  return "";
}

}  // namespace korvex::workflow::testing
