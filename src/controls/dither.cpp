#include "controls/dither.h"

#include <vector>

#include "controls/bevel.h"

namespace korvex::controls {

QImage DitherPattern(const QColor& track_color) {
  QImage pattern(kDitherSize, kDitherSize, QImage::Format_RGB32);
  pattern.fill(track_color);
  const QRgb odd = (track_color.rgb() == kSilver.rgb() ? kGrey : kSilver).rgb();
  for (int y = 0; y < kDitherSize; ++y) {
    for (int x = 0; x < kDitherSize; ++x) {
      if ((x + y) % 2 == 1) pattern.setPixel(x, y, odd);
    }
  }
  return pattern;
}

void FloodFillWithPattern(QImage& image, QPoint seed, const QImage& pattern) {
  if (!image.rect().contains(seed) || pattern.isNull()) return;
  const QRgb target = image.pixel(seed);
  // Visited marks, since a pattern pixel may have the target colour itself.
  std::vector<bool> visited(static_cast<size_t>(image.width()) * image.height(), false);
  auto index = [&image](QPoint p) { return static_cast<size_t>(p.y()) * image.width() + p.x(); };
  std::vector<QPoint> pending{seed};
  visited[index(seed)] = true;
  while (!pending.empty()) {
    const QPoint p = pending.back();
    pending.pop_back();
    image.setPixel(p, pattern.pixel(p.x() % pattern.width(), p.y() % pattern.height()));
    for (QPoint next : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)}) {
      if (!image.rect().contains(next) || visited[index(next)]) continue;
      if (image.pixel(next) != target) continue;
      visited[index(next)] = true;
      pending.push_back(next);
    }
  }
}

}  // namespace korvex::controls
