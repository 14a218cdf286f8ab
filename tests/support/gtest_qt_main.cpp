// GoogleTest entry for tests of the Qt core: signals, timers and sockets need an application object.
#include <QCoreApplication>

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The paths of this build, unless the caller named others.
    ::setenv("CANTORIX_SOURCE_DIR", CANTORIX_SOURCE_DIR_DEFAULT, 0);
    ::setenv("CANTORIX_SHARED_DIR", CANTORIX_SHARED_DIR_DEFAULT, 0);
    ::setenv("CANTORIX_CLI", CANTORIX_CLI_DEFAULT, 0);
    // Undo journals of the runs under test (and of the programs they start) stay in the build.
    ::setenv("XDG_STATE_HOME", CANTORIX_TEST_STATE_DEFAULT, 1);
    // The programs and texts under test in English, whatever the desktop's language; a test that wants
    // another asks for it.
    ::setenv("LANGUAGE", "en", 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
