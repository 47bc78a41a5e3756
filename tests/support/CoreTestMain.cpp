// gtest main for tests of the window-free libraries alone (the audio
// library's tests in a build with VELMO_AUDIO_ONLY): private user folders
// and a QCoreApplication, nothing of the program's windows.

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    TestEnv::setUp();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
