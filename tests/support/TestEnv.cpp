#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QTemporaryDir* g_root = nullptr;
}

QString TestEnv::root() { return g_root->path(); }

QString TestEnv::fixture(const QString& name) {
    return QStringLiteral(VELMO_FIXTURES_DIR) + "/" + name;
}

void TestEnv::setUp() {
    static QTemporaryDir root;  // removed when the tests end
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
    // Number formats follow the user's locale; the tests expect the C one
    // unless they choose another, whatever the shell running them uses.
    qputenv("LC_ALL", "C.UTF-8");
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qgetenv("SDL_AUDIODRIVER").isEmpty())
        qputenv("SDL_AUDIODRIVER", "dummy");
    // A load ends before it returns, however busy the machine: the tests of
    // loads that go on in the background lower this themselves.
    if (qgetenv("VELMO_LOAD_WAIT_MS").isEmpty())
        qputenv("VELMO_LOAD_WAIT_MS", "60000");
}
