#include "playback/StreamOpener.h"

#include <string>

namespace {

void freeStream(StreamOpener::Result& result) {
    if (result.stream != 0)
        BASS_StreamFree(result.stream);
    result.stream = 0;
}

}  // namespace

StreamOpener::StreamOpener(QObject* parent) : QObject(parent), m_opening(this, freeStream) {}

StreamOpener::~StreamOpener() = default;

void StreamOpener::cancel() { m_opening.cancel(); }

void StreamOpener::open(const QString& path, DWORD flags, int waitMs, Done done) {
    auto job = [path, flags] {
        const std::u16string name = path.toStdU16String();
        Result result{path, BASS_StreamCreateFile(FALSE, name.c_str(), 0, 0, flags), 0};
        result.error = BASS_ErrorGetCode();
        return result;
    };
    m_opening.start(job, std::move(done), waitMs);
}
