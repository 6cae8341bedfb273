#include "workflow/effects/text_watermark.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdint>

#include "workflow/effects/bitmap_blend.h"

namespace korvex::workflow {

namespace {

// 96 dots per inch, so that a point size gives the same pixel size on every machine.
constexpr int kDotsPerMeter = 3780;

QColor ToQColor(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

QFont ToQFont(const TWmFont& font) {
  QFont result(QString::fromStdString(font.Name));
  if (font.Size > 0) result.setPointSize(font.Size);
  result.setBold((font.Style & fsBold) != 0);
  result.setItalic((font.Style & fsItalic) != 0);
  result.setUnderline((font.Style & fsUnderline) != 0);
  result.setStrikeOut((font.Style & fsStrikeOut) != 0);
  return result;
}

// Format_RGB32 holds each pixel as the bytes B, G, R, 0xFF: the first three are a Bitmap24
// pixel.
void CopyFrameToImage(const engine::Bitmap24& frame, int left, int top, QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t* in = frame.Row(top + y) + 3 * left;
    uint8_t* out = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x, in += 3, out += 4) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      out[3] = 0xFF;
    }
  }
}

engine::Bitmap24 ImageToBitmap(const QImage& image) {
  engine::Bitmap24 bitmap(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const uint8_t* in = image.constScanLine(y);
    uint8_t* out = bitmap.Row(y);
    for (int x = 0; x < image.width(); ++x, in += 4, out += 3) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  }
  return bitmap;
}

}  // namespace

void DrawTextWatermark(engine::Bitmap24& frame, const TWmRec& mark) {
  // Only the part of the box inside the frame is rendered; the rest would be cut off by the
  // blend anyway, and a box far larger than the frame costs nothing extra.
  const int64_t left = std::max<int64_t>(mark.TextLeft, 0);
  const int64_t top = std::max<int64_t>(mark.TextTop, 0);
  const int64_t right = std::min<int64_t>(int64_t{mark.TextLeft} + mark.TextWidth, frame.Width());
  const int64_t bottom = std::min<int64_t>(int64_t{mark.TextTop} + mark.TextHeight, frame.Height());
  if (left >= right || top >= bottom) return;

  QImage image(static_cast<int>(right - left), static_cast<int>(bottom - top),
               QImage::Format_RGB32);
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  if (mark.OpaqueBack) {
    // The filled box is the text's opaque background.
    image.fill(ToQColor(mark.BackColor));
  } else {
    // The box starts as the frame under it, so that the blend leaves everything but the
    // letters exactly as it was.
    CopyFrameToImage(frame, static_cast<int>(left), static_cast<int>(top), image);
  }
  {
    QPainter painter(&image);
    painter.setFont(ToQFont(mark.WmFont));
    painter.setPen(ToQColor(mark.WmFont.Color));
    // Box coordinates: the text starts at the box's corner even when that lies off the frame.
    painter.translate(static_cast<qreal>(mark.TextLeft - left),
                      static_cast<qreal>(mark.TextTop - top));
    painter.drawText(
        QRect(0, 0, mark.TextWidth, mark.TextHeight), Qt::AlignLeft | Qt::AlignTop,
        QString::fromUtf8(mark.WmText.data(), static_cast<qsizetype>(mark.WmText.size())));
  }
  BlendBitmap(frame, ImageToBitmap(image), static_cast<int>(left), static_cast<int>(top),
              mark.TextAlpha);
}

}  // namespace korvex::workflow
