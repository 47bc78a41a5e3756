// Replays every seed and every kept regression input of each fuzz target
// through the target's own entry function: no crash, no broken property, at
// most a clean AppError.
#include "FuzzReplay.h"
#include "TestEnv.h"
#include "platform/AppError.h"

#include <QDir>
#include <QFile>

namespace {

using Entry = int (*)(const uint8_t*, size_t);

struct Target {
    const char* name;
    Entry entry;
    bool fixturesAreSeeds;  // the audio target also starts from tests/fixtures
};

const Target kTargets[] = {
    {"marker_file", ReplayMarkerFile, false},   {"playlist_file", ReplayPlaylistFile, false},
    {"profile_file", ReplayProfileFile, false}, {"time_text", ReplayTimeText, false},
    {"handoff_record", ReplayHandOffRecord, false}, {"audio_file", ReplayAudioFile, true},
    {"marker_exchange", ReplayMarkerExchange, false},
};

QStringList filesIn(const QString& dir) {
    QStringList files;
    for (const QFileInfo& info : QDir(dir).entryInfoList(QDir::Files, QDir::Name))
        files << info.filePath();
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SeedsAndRegressionsRunCleanly) {
    const Target& target = GetParam();
    const QString fuzzDir = TestEnv::fixture("../fuzz");
    QStringList inputs = filesIn(fuzzDir + "/seeds/" + target.name)
                         + filesIn(fuzzDir + "/regressions/" + target.name);
    if (target.fixturesAreSeeds)
        inputs += filesIn(TestEnv::fixture(""));
    ASSERT_FALSE(inputs.isEmpty()) << "no seeds for " << target.name;
    for (const QString& input : inputs) {
        SCOPED_TRACE(input.toStdString());
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        try {
            target.entry(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        } catch (const AppError&) {
            // A clean refusal of the input is fine.
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
