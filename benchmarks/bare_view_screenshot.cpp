// The floor of the dialog's cold start: a Qt program that does nothing but
// load the panel's view description and save a picture of it, the least any
// program showing that view must do.
//
//   bare_view_screenshot [--without-widget-plugins] [--as-shown] VIEW.ui SCREENSHOT.png [WIDTHxHEIGHT]
//
// With a size, the view is pictured at that size: the dialog's, to compare
// like with like. With --without-widget-plugins the loader is made without
// Qt's library paths, as the panel makes it, so that it loads none of
// Designer's widget plug-ins (nor Qt Quick with them), which the view never
// uses: the floor of a program that knows this. With --as-shown the picture
// is read back from the window's backing store, as zarvik-print does
// offscreen, instead of grab() painting the view a second time.
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QUiLoader>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <memory>

// Takes the flag `name` when it comes next on the command line.
bool takeFlag(int& argc, char**& argv, const char* name) {
  if (argc < 2 || std::strcmp(argv[1], name) != 0) return false;
  argv[1] = argv[0];
  --argc;
  ++argv;
  return true;
}

int main(int argc, char** argv) {
  const bool withoutWidgetPlugins = takeFlag(argc, argv, "--without-widget-plugins");
  const bool asShown = takeFlag(argc, argv, "--as-shown");
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: bare_view_screenshot [--without-widget-plugins] [--as-shown] VIEW.ui SCREENSHOT.png "
                         "[WIDTHxHEIGHT]\n");
    return 2;
  }
  // As zarvik-print does without a display.
  if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
      !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QFile description(QString::fromLocal8Bit(argv[1]));
  if (!description.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "bare_view_screenshot: cannot open %s\n", argv[1]);
    return 2;
  }
  QStringList libraryPaths;
  if (withoutWidgetPlugins) {
    libraryPaths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({});
  }
  QUiLoader loader;
  if (withoutWidgetPlugins) QCoreApplication::setLibraryPaths(libraryPaths);
  std::unique_ptr<QWidget> view(loader.load(&description, nullptr));
  if (!view) {
    std::fprintf(stderr, "bare_view_screenshot: cannot load %s\n", argv[1]);
    return 2;
  }
  if (argc == 4) {
    const QStringList size = QString::fromLocal8Bit(argv[3]).split('x');
    bool wide = false, high = false;
    const int width = size.value(0).toInt(&wide), height = size.value(1).toInt(&high);
    if (size.size() != 2 || !wide || !high || width <= 0 || height <= 0) {
      std::fprintf(stderr, "bare_view_screenshot: %s is no WIDTHxHEIGHT\n", argv[3]);
      return 2;
    }
    view->resize(width, height);
  }
  view->show();
  QApplication::processEvents();
  QPixmap picture;
  if (asShown) {
    QCoreApplication::sendPostedEvents();
    picture = view->screen()->grabWindow(view->winId());
  }
  if (picture.isNull()) picture = view->grab();
  if (!picture.save(QString::fromLocal8Bit(argv[2]))) {
    std::fprintf(stderr, "bare_view_screenshot: cannot write %s\n", argv[2]);
    return 2;
  }
  return 0;
}
