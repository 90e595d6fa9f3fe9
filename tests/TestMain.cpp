// Test entry point: a QApplication on the offscreen platform (unless the
// environment names another), so widget tests can create the real window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "KeepSoundPluginsLoaded.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Remembered settings (QSettings) of this test program only: what one
    // test program turns on never changes what another one starts with.
    QTemporaryDir config;
    if (config.isValid()) setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    zv::test::KeepSoundPluginsLoaded();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
