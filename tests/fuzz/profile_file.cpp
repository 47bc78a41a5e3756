// Profile (INI) reader: a document loaded from any bytes answers lookups,
// takes new keys and saves to bytes that load again with the same values.
#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.path() + "/fuzz.ini";
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    ProfileFile profile(path);
    profile.readString("Settings", "LastList", "x");
    profile.readInteger("MainWindow", "main_width", 7);
    profile.readBool("Settings", "AutoSave", true);
    profile.writeString("Settings", "LastList", "/tmp/a b");
    profile.writeInteger("New Section", "volume", -5);
    const QByteArray bytes = profile.toBytes();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(bytes);
    }
    ProfileFile reread(path);
    FUZZ_REQUIRE(reread.readString("Settings", "LastList", "") == "/tmp/a b");
    FUZZ_REQUIRE(reread.readInteger("New Section", "volume", 0) == -5);
    return 0;
}
