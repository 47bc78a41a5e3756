#pragma once
// Opens audio files for playing on threads of their own, so that a file that
// takes long to open (a long scan, a slow disk, a pipe that never delivers)
// never holds up the window. Only the newest request counts: an earlier one
// still opening is abandoned, and its thread frees whatever it opened when it
// returns, however late. Nothing waits for such a thread, not even the end
// of the program.
//
// Threads: the members are called on the thread that owns the opener; the
// answer arrives there through its event loop.

#include "audio/bass.h"
#include "platform/NewestJob.h"

#include <QObject>
#include <QString>

#include <functional>

class StreamOpener : public QObject {
public:
    // The outcome of an open: the stream (0 when it failed) and the
    // library's error code.
    struct Result {
        QString path;
        HSTREAM stream = 0;
        int error = 0;
    };
    using Done = std::function<void(const Result&)>;

    explicit StreamOpener(QObject* parent = nullptr);
    ~StreamOpener() override;

    // Starts opening `path` with the library's stream flags and abandons any
    // earlier request. `done` is called once the stream is ready or failed,
    // unless a newer request or cancel() came first. When the file opens
    // within `waitMs`, `done` has run before open() returns.
    void open(const QString& path, DWORD flags, int waitMs, Done done);
    // Abandons the pending request, if any.
    void cancel();
    // A request is opening.
    bool pending() const { return m_opening.pending(); }

private:
    NewestJob<Result> m_opening;
};
