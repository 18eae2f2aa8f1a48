// The emulated-bus tests build umockdev testbeds in this process, which runs
// with umockdev's preload library (see on-emulated-bus.sh). The window's tests
// need a QApplication; settings, instrument records and models are the test's
// own.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QTemporaryDir home;
    if (!home.isValid()) {
        return 1;
    }
    // No user's settings and no other program's instrument records.
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("OMBRIX_MODEL_DIR", OMBRIX_SAMPLE_MODELS_DIR);
    qputenv("OMBRIX_DEVICE_DIR", home.filePath(QStringLiteral("no-sockets")).toLocal8Bit());
    qunsetenv("OMBRIX_USB_IDS");
    qputenv("QT_QPA_PLATFORM", "offscreen"); // also when tests are listed at build time
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
