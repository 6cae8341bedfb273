// korvex-controls-demo: shows every style of the track bar and the rectangle tracker in one
// window. With --render FILE.png it draws the window offscreen into that PNG file and exits.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "tools/controls_demo/demo_window.h"

namespace {

constexpr char kUsage[] = "usage: korvex-controls-demo [--render FILE.png]\n";

struct Options {
  std::optional<std::string> render_path;
  bool help = false;
  bool valid = true;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--render") == 0 && i + 1 < argc) {
      options.render_path = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      options.help = true;
    } else {
      options.valid = false;
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (options.help || !options.valid) {
    std::fputs(kUsage, options.valid ? stdout : stderr);
    return options.valid ? 0 : 2;
  }
  // Rendering needs no display: the offscreen platform draws into memory.
  if (options.render_path) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  korvex::controls_demo::ControlsDemoWindow window;
  window.show();
  if (!options.render_path) return app.exec();

  QApplication::processEvents();
  const QString path = QString::fromStdString(*options.render_path);
  if (!window.grab().toImage().save(path, "PNG")) {
    std::fprintf(stderr, "korvex-controls-demo: cannot write %s\n", options.render_path->c_str());
    return 1;
  }
  return 0;
}
