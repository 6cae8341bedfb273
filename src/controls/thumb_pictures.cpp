#include "controls/thumb_pictures.h"

#include <QPainter>
#include <optional>

#include "controls/bevel.h"
#include "controls/pointer_pictures.h"

namespace korvex::controls {

namespace {

struct PointerResource {
  const char* name;
  PointerSize size;
  PointerDirection direction;
};

constexpr PointerResource kPointerResources[] = {
    {"SMUPTHUMB", PointerSize::kSmall, PointerDirection::kUp},
    {"SMDOWNTHUMB", PointerSize::kSmall, PointerDirection::kDown},
    {"SMLEFTTHUMB", PointerSize::kSmall, PointerDirection::kLeft},
    {"SMRIGHTTHUMB", PointerSize::kSmall, PointerDirection::kRight},
    {"MEDUPTHUMB", PointerSize::kMedium, PointerDirection::kUp},
    {"MEDDOWNTHUMB", PointerSize::kMedium, PointerDirection::kDown},
    {"MEDLEFTTHUMB", PointerSize::kMedium, PointerDirection::kLeft},
    {"MEDRIGHTTHUMB", PointerSize::kMedium, PointerDirection::kRight},
    {"LGUPTHUMB", PointerSize::kLarge, PointerDirection::kUp},
    {"LGDOWNTHUMB", PointerSize::kLarge, PointerDirection::kDown},
    {"LGLEFTTHUMB", PointerSize::kLarge, PointerDirection::kLeft},
    {"LGRIGHTTHUMB", PointerSize::kLarge, PointerDirection::kRight},
};

std::optional<PointerResource> FindPointer(const QString& name) {
  for (const PointerResource& resource : kPointerResources) {
    if (name == QLatin1String(resource.name)) return resource;
  }
  return std::nullopt;
}

const char* SizePrefix(TThumbStyle style) {
  switch (style) {
    case TThumbStyle::tsSmallPointer:
      return "SM";
    case TThumbStyle::tsMediumPointer:
      return "MED";
    case TThumbStyle::tsLargePointer:
      return "LG";
    default:
      return nullptr;
  }
}

}  // namespace

QString PointerResourceName(TThumbStyle style, TOrientation orientation,
                            TTickOrientation tick_orientation) {
  const char* prefix = SizePrefix(style);
  if (!prefix) return {};
  const bool ticks_after = tick_orientation == TTickOrientation::toBottomRight;
  const char* direction = orientation == TOrientation::trHorizontal
                              ? (ticks_after ? "DOWN" : "UP")
                              : (ticks_after ? "RIGHT" : "LEFT");
  return QString::fromLatin1(prefix) + QLatin1String(direction) + QLatin1String("THUMB");
}

QImage LoadThumbResource(const QString& name) {
  const QString mask_suffix = QStringLiteral("MASK");
  if (name.endsWith(mask_suffix)) {
    const std::optional<PointerResource> pointer = FindPointer(name.chopped(mask_suffix.size()));
    return pointer ? DrawPointerMask(pointer->size, pointer->direction) : QImage();
  }
  const std::optional<PointerResource> pointer = FindPointer(name);
  return pointer ? DrawPointerPicture(pointer->size, pointer->direction) : QImage();
}

QImage RectangleThumbPicture(TThumbStyle style, QSize size, const QColor& color) {
  if (size.isEmpty()) return {};
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(color);
  QPainter canvas(&picture);
  const QRect rect = picture.rect();
  switch (style) {
    case TThumbStyle::tsRectangle:
      DrawFrame(canvas, rect, Qt::black, Qt::black);
      break;
    case TThumbStyle::tsRaisedRectangle:
      DrawBevel(canvas, rect, true);
      break;
    case TThumbStyle::tsLoweredRectangle:
      DrawBevel(canvas, rect, false);
      break;
    default:
      break;
  }
  return picture;
}

QImage ApplyMask(const QImage& picture, const QImage& mask) {
  QImage masked = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (mask.isNull()) return masked;
  for (int y = 0; y < masked.height(); ++y) {
    for (int x = 0; x < masked.width(); ++x) {
      const bool on_shape = mask.valid(x, y) && mask.pixelIndex(x, y) == 1;
      if (!on_shape) masked.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  return masked;
}

}  // namespace korvex::controls
