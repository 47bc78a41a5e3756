// gtest main for every test executable: private user folders, offscreen Qt,
// the dummy audio driver, a QApplication, and default prompts and shell that
// record instead of showing anything.

#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "platform/VelmoApplication.h"

#include <gtest/gtest.h>

QString TestEnv::playerBinary() { return QStringLiteral(VELMO_PLAYER_BINARY); }

int main(int argc, char** argv) {
    TestEnv::setUp();
    VelmoApplication app(argc, argv);
    ScriptedPrompts defaultPrompts;
    RecordingShell defaultShell;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
