#include "playback/StreamOpener.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// What the opener shares with its threads; outlives both.
struct StreamOpener::Shared {
    std::mutex mutex;
    std::condition_variable readied;
    StreamOpener* owner = nullptr;  // null once the opener is gone
    quint64 current = 0;            // the request that counts
    std::optional<Result> ready;    // its outcome, not yet taken

    // With mutex held: a result nobody will take.
    std::optional<Result> dropReady() {
        std::optional<Result> dropped;
        dropped.swap(ready);
        return dropped;
    }
};

namespace {

void freeStream(const std::optional<StreamOpener::Result>& result) {
    if (result && result->stream != 0)
        BASS_StreamFree(result->stream);
}

}  // namespace

StreamOpener::StreamOpener(QObject* parent) : QObject(parent), m_shared(std::make_shared<Shared>()) {
    m_shared->owner = this;
}

StreamOpener::~StreamOpener() {
    std::optional<Result> dropped;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->owner = nullptr;
        m_shared->current = 0;
        dropped = m_shared->dropReady();
    }
    freeStream(dropped);
}

void StreamOpener::cancel() {
    m_done = nullptr;
    std::optional<Result> dropped;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->current = 0;
        dropped = m_shared->dropReady();
    }
    freeStream(dropped);
}

void StreamOpener::open(const QString& path, DWORD flags, int waitMs, Done done) {
    cancel();
    const quint64 serial = ++m_serial;
    m_done = std::move(done);
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->current = serial;
    }
    std::thread([shared = m_shared, serial, path, flags] {
        const std::u16string name = path.toStdU16String();
        Result result{path, BASS_StreamCreateFile(FALSE, name.c_str(), 0, 0, flags), 0};
        result.error = BASS_ErrorGetCode();
        std::unique_lock<std::mutex> lock(shared->mutex);
        if (!shared->owner || shared->current != serial) {
            lock.unlock();
            freeStream(result);
            return;
        }
        shared->ready = std::move(result);
        shared->readied.notify_all();
        // Under the lock: the opener cannot be destroyed meanwhile.
        QMetaObject::invokeMethod(
            shared->owner, [owner = shared->owner, serial] { owner->deliver(serial); }, Qt::QueuedConnection);
    }).detach();
    if (waitMs <= 0)
        return;
    {
        std::unique_lock<std::mutex> lock(m_shared->mutex);
        m_shared->readied.wait_for(lock, std::chrono::milliseconds(waitMs),
                                   [this] { return m_shared->ready.has_value(); });
    }
    deliver(serial);
}

void StreamOpener::deliver(quint64 serial) {
    std::optional<Result> result;
    {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        if (serial != m_serial || m_shared->current != serial)
            return;
        result = m_shared->dropReady();
    }
    if (!result)
        return;
    Done done = std::move(m_done);
    m_done = nullptr;
    done(*result);
}
