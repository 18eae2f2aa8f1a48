// The window's tests need a QApplication, so this program brings its own main.
// It runs on the offscreen platform with two monitors side by side, so the
// window's placement on several monitors is tested as well.
#include <QApplication>
#include <QByteArray>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

// The primary monitor, and a smaller one to its right.
const char* const kMonitors = R"({"screens": [
  {"name": "primary", "x": 0, "y": 0, "width": 1280, "height": 1024,
   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
  {"name": "second", "x": 1280, "y": 0, "width": 1024, "height": 768,
   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

} // namespace

int main(int argc, char** argv) {
    QTemporaryFile monitors;
    if (!monitors.open() || monitors.write(kMonitors) < 0 || !monitors.flush()) {
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + monitors.fileName().toLocal8Bit());
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
