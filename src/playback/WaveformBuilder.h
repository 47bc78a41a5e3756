#pragma once
// Computes the waveform summary of an audio file on a worker thread from a
// decode-only stream of its own, so neither the sound nor the GUI's tick
// waits for it. A finished summary is kept in the cache folder under a name
// made from the file's path, size and modification time; a file seen before
// is read from there instead of decoded. The GUI polls with collect(), which
// hands over what was computed since its last call, so the picture grows
// while the work goes on.
//
// Threads: every member is called from the GUI thread; the worker touches no
// QObject and shares only a mutex-guarded buffer with collect().

#include "timeline/WaveformSummary.h"

#include <QString>

#include <memory>
#include <thread>

class WaveformBuilder {
public:
    WaveformBuilder() = default;
    ~WaveformBuilder();
    WaveformBuilder(const WaveformBuilder&) = delete;
    WaveformBuilder& operator=(const WaveformBuilder&) = delete;

    // Starts the work for path, ending the work for an earlier file first.
    // cacheFolder empty: no cache is read or written.
    void start(const QString& path, const QString& cacheFolder);
    // Ends the current work (returns once the worker has stopped; the worker
    // looks for the request after every few thousand frames).
    void cancel();
    // The file the current or last work is for; empty after cancel().
    const QString& path() const { return path_; }

    // Moves what was computed since the last call into summary (reset for
    // the file by the first call). True when something new arrived.
    bool collect(WaveformSummary& summary);
    // The work ended: the whole file is summarised, or it could not be read.
    bool finished() const;

    // The cache file of path as it is now (size and modification time); empty
    // when the file cannot be looked at.
    static QString cacheFileFor(const QString& path, const QString& cacheFolder);

    struct Job;

private:
    QString path_;
    std::shared_ptr<Job> job_;
    std::thread worker_;
};
