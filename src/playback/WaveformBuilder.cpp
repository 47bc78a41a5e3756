#include "playback/WaveformBuilder.h"

#include "audio/bass.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

struct WaveformBuilder::Job {
    std::atomic<bool> cancelled{false};
    std::mutex lock;
    // Guarded by lock.
    int sampleRate = 0;
    QList<qint8> mins;  // base blocks not yet collected
    QList<qint8> maxs;
    int framesInLast = 0;
    bool done = false;
    std::optional<WaveformSummary> fromCache;
    // GUI thread only.
    bool handedStart = false;
};

namespace {

constexpr int kReadFrames = 16384;
// The worker yields to the sound and the GUI.
constexpr int kWorkerNice = 10;

std::optional<WaveformSummary> readCache(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return WaveformSummary::fromBytes(QByteArray::fromRawData(data.data(), static_cast<qsizetype>(data.size())));
}

// Written beside its final name and renamed over it, so a reader never sees
// half a file.
void writeCache(const std::string& file, const QByteArray& bytes) {
    const std::string partial = file + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out)
            return;
        out.write(bytes.constData(), bytes.size());
        if (!out)
            return;
    }
    if (std::rename(partial.c_str(), file.c_str()) != 0)
        std::remove(partial.c_str());
}

// The lowest and highest of n samples folded into low and high. Four
// running pairs in locals: each step waits only on its own pair from four
// samples back, and nothing is stored between steps.
void foldSamples(const float* s, int n, float& low, float& high) {
    auto lower = [](float bound, float sample) { return sample < bound ? sample : bound; };
    auto higher = [](float bound, float sample) { return sample > bound ? sample : bound; };
    float low0 = low, low1 = low, low2 = low, low3 = low;
    float high0 = high, high1 = high, high2 = high, high3 = high;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        low0 = lower(low0, s[i]);
        high0 = higher(high0, s[i]);
        low1 = lower(low1, s[i + 1]);
        high1 = higher(high1, s[i + 1]);
        low2 = lower(low2, s[i + 2]);
        high2 = higher(high2, s[i + 2]);
        low3 = lower(low3, s[i + 3]);
        high3 = higher(high3, s[i + 3]);
    }
    for (; i < n; ++i) {
        low = lower(low, s[i]);
        high = higher(high, s[i]);
    }
    low = std::min({low, low0, low1, low2, low3});
    high = std::max({high, high0, high1, high2, high3});
}

// Folds interleaved float frames into base blocks; a block left open at the
// end of one read is continued by the next.
class BlockFolder {
public:
    explicit BlockFolder(int channels) : channels_(channels) {}

    void add(const float* samples, int frames, QList<qint8>& mins, QList<qint8>& maxs) {
        for (int f = 0; f < frames;) {
            const int take = std::min<int>(frames - f, WaveformSummary::kBaseBlockFrames - inBlock_);
            foldSamples(samples + static_cast<qsizetype>(f) * channels_, take * channels_, low_, high_);
            inBlock_ += take;
            f += take;
            if (inBlock_ == WaveformSummary::kBaseBlockFrames)
                close(mins, maxs);
        }
    }

    // Closes a short last block; returns its frames (0 when none was open).
    int finish(QList<qint8>& mins, QList<qint8>& maxs) {
        const int frames = inBlock_;
        if (frames > 0)
            close(mins, maxs);
        return frames;
    }

private:
    void close(QList<qint8>& mins, QList<qint8>& maxs) {
        mins.append(WaveformSummary::lowByte(low_));
        maxs.append(WaveformSummary::highByte(high_));
        low_ = 1.0f;
        high_ = -1.0f;
        inBlock_ = 0;
    }

    int channels_;
    int inBlock_ = 0;
    float low_ = 1.0f;
    float high_ = -1.0f;
};

void run(const std::shared_ptr<WaveformBuilder::Job>& job, const std::u16string& path, const std::string& cacheFile) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kWorkerNice);
    auto finish = [&job] {
        std::lock_guard guard(job->lock);
        job->done = true;
    };
    if (!cacheFile.empty()) {
        if (std::optional<WaveformSummary> cached = readCache(cacheFile)) {
            std::lock_guard guard(job->lock);
            job->fromCache = std::move(cached);
            job->done = true;
            return;
        }
    }
    const HSTREAM stream =
        BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT | BASS_UNICODE);
    BASS_CHANNELINFO info{};
    if (stream == 0 || !BASS_ChannelGetInfo(stream, &info) || info.chans == 0 || info.freq == 0) {
        if (stream != 0)
            BASS_StreamFree(stream);
        finish();
        return;
    }
    {
        std::lock_guard guard(job->lock);
        job->sampleRate = static_cast<int>(info.freq);
    }
    WaveformSummary whole;  // what goes into the cache
    whole.reset(static_cast<int>(info.freq));
    BlockFolder folder(static_cast<int>(info.chans));
    std::vector<float> buffer(static_cast<size_t>(kReadFrames) * info.chans);
    const DWORD bytesWanted = static_cast<DWORD>(buffer.size() * sizeof(float));
    QList<qint8> mins;
    QList<qint8> maxs;
    int framesInLast = 0;
    bool complete = false;
    while (!job->cancelled.load()) {
        const DWORD got = BASS_ChannelGetData(stream, buffer.data(), bytesWanted | BASS_DATA_FLOAT);
        const bool atEnd = got == DWORD(-1) || got == 0;
        if (!atEnd)
            folder.add(buffer.data(), static_cast<int>(got / sizeof(float) / info.chans), mins, maxs);
        else
            framesInLast = folder.finish(mins, maxs);
        if (!mins.isEmpty()) {
            whole.append(mins, maxs, atEnd ? framesInLast : 0);
            std::lock_guard guard(job->lock);
            job->mins.append(mins);
            job->maxs.append(maxs);
            if (atEnd) {
                // In the same step as the last blocks, so collect() never
                // takes a short last block for a whole one.
                job->framesInLast = framesInLast;
                job->done = true;
            }
            mins.clear();
            maxs.clear();
        }
        if (atEnd) {
            complete = got == 0 || BASS_ErrorGetCode() == BASS_ERROR_ENDED;
            break;
        }
    }
    BASS_StreamFree(stream);
    finish();
    if (complete && !cacheFile.empty() && !whole.isEmpty())
        writeCache(cacheFile, whole.toBytes());
}

}  // namespace

WaveformBuilder::~WaveformBuilder() { cancel(); }

QString WaveformBuilder::cacheFileFor(const QString& path, const QString& cacheFolder) {
    const QFileInfo info(path);
    if (cacheFolder.isEmpty() || !info.isFile())
        return QString();
    const QString key = info.absoluteFilePath() + QLatin1Char('\n') + QString::number(info.size()) +
                        QLatin1Char('\n') +
                        QString::number(info.lastModified().toMSecsSinceEpoch());
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex();
    return cacheFolder + QString::fromLatin1(hash) + QStringLiteral(".wave");
}

void WaveformBuilder::start(const QString& path, const QString& cacheFolder) {
    cancel();
    path_ = path;
    job_ = std::make_shared<Job>();
    const QString cacheFile = cacheFileFor(path, cacheFolder);
    worker_ = std::thread(run, job_, path.toStdU16String(), cacheFile.toStdString());
}

void WaveformBuilder::cancel() {
    if (job_)
        job_->cancelled = true;
    if (worker_.joinable())
        worker_.join();
    job_.reset();
    path_.clear();
}

bool WaveformBuilder::finished() const {
    if (!job_)
        return true;
    std::lock_guard guard(job_->lock);
    return job_->done;
}

bool WaveformBuilder::collect(WaveformSummary& summary) {
    if (!job_)
        return false;
    std::lock_guard guard(job_->lock);
    if (job_->fromCache) {
        summary = std::move(*job_->fromCache);
        job_->fromCache.reset();
        job_->handedStart = true;
        return true;
    }
    if (!job_->handedStart && job_->sampleRate > 0) {
        summary.reset(job_->sampleRate);
        job_->handedStart = true;
    }
    if (!job_->handedStart || job_->mins.isEmpty())
        return false;
    summary.append(job_->mins, job_->maxs, job_->done ? job_->framesInLast : 0);
    job_->mins.clear();
    job_->maxs.clear();
    return true;
}
