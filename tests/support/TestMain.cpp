// gtest main for every test executable: private user folders, offscreen Qt,
// the dummy audio driver, a QApplication, and default prompts and shell that
// record instead of showing anything.

#include "RecordingShell.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "platform/VelmoApplication.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {
QTemporaryDir* g_root = nullptr;
}

QString TestEnv::root() { return g_root->path(); }

QString TestEnv::fixture(const QString& name) {
    return QStringLiteral(VELMO_FIXTURES_DIR) + "/" + name;
}

QString TestEnv::playerBinary() { return QStringLiteral(VELMO_PLAYER_BINARY); }

int main(int argc, char** argv) {
    QTemporaryDir root;
    g_root = &root;
    const QString base = root.path();
    for (const char* sub : {"home", "config", "data", "runtime", "documents"})
        QDir().mkpath(base + "/" + sub);
    QFile::setPermissions(base + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", (base + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (base + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (base + "/data").toUtf8());
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (base + "/documents").toUtf8());
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("SDL_AUDIODRIVER").isEmpty())
        qputenv("SDL_AUDIODRIVER", "dummy");

    VelmoApplication app(argc, argv);
    ScriptedPrompts defaultPrompts;
    RecordingShell defaultShell;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
