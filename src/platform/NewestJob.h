#pragma once
// Runs slow jobs (opening a file, reading its facts) on threads of their own
// so that the window never waits for them. Only the newest job counts: a
// start abandons the job before it, whose result is dropped when it comes,
// however late. Nothing waits for such a thread, not even the end of the
// program.
//
// Threads: the members are called on the owner's thread; the result arrives
// there through its event loop.

#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

template <typename Result>
class NewestJob {
public:
    using Job = std::function<Result()>;
    using Done = std::function<void(const Result&)>;
    // Frees what an abandoned job made (called on whichever thread has it).
    using Drop = std::function<void(Result&)>;

    explicit NewestJob(QObject* owner, Drop drop = {}) : m_shared(std::make_shared<Shared>()) {
        m_shared->owner = owner;
        m_shared->self = this;
        m_shared->drop = std::move(drop);
    }

    ~NewestJob() {
        std::optional<Result> dropped;
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->self = nullptr;
            m_shared->current = 0;
            dropped.swap(m_shared->ready);
        }
        m_shared->dropResult(dropped);
    }

    NewestJob(const NewestJob&) = delete;
    NewestJob& operator=(const NewestJob&) = delete;

    // Starts `job` and abandons any earlier one. `done` runs once with its
    // result unless a newer start or cancel() comes first. When the result
    // comes within `waitMs`, `done` has run before start() returns, and
    // start() returns true.
    bool start(Job job, Done done, int waitMs) {
        cancel();
        const quint64 serial = ++m_serial;
        m_done = std::move(done);
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->current = serial;
        }
        try {
            std::thread([shared = m_shared, serial, job] { shared->offer(serial, job()); }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the job runs here rather than not at all.
            m_shared->offer(serial, job());
            return deliver(serial);
        }
        if (waitMs <= 0)
            return false;
        {
            std::unique_lock<std::mutex> lock(m_shared->mutex);
            m_shared->readied.wait_for(lock, std::chrono::milliseconds(waitMs),
                                       [this] { return m_shared->ready.has_value(); });
        }
        return deliver(serial);
    }

    // Abandons the pending job, if any.
    void cancel() {
        m_done = nullptr;
        std::optional<Result> dropped;
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            m_shared->current = 0;
            dropped.swap(m_shared->ready);
        }
        m_shared->dropResult(dropped);
    }

    // A job is running whose result is still wanted.
    bool pending() const { return static_cast<bool>(m_done); }

private:
    // What the runner shares with its threads; outlives both.
    struct Shared {
        std::mutex mutex;
        std::condition_variable readied;
        QObject* owner = nullptr;
        NewestJob* self = nullptr;  // null once the runner is gone
        quint64 current = 0;        // the job that counts
        std::optional<Result> ready;  // its result, not yet taken
        Drop drop;

        void dropResult(std::optional<Result>& result) {
            if (result && drop)
                drop(*result);
        }

        void offer(quint64 serial, Result result) {
            std::unique_lock<std::mutex> lock(mutex);
            if (!self || current != serial) {
                lock.unlock();
                if (drop)
                    drop(result);
                return;
            }
            ready = std::move(result);
            readied.notify_all();
            // Under the lock: the runner cannot be destroyed meanwhile.
            QMetaObject::invokeMethod(
                owner, [runner = self, serial] { runner->deliver(serial); }, Qt::QueuedConnection);
        }
    };

    // Hands the result of job `serial` to its callback, once.
    bool deliver(quint64 serial) {
        std::optional<Result> result;
        {
            std::lock_guard<std::mutex> lock(m_shared->mutex);
            if (serial != m_serial || m_shared->current != serial)
                return false;
            result.swap(m_shared->ready);
        }
        if (!result)
            return false;
        Done done = std::move(m_done);
        m_done = nullptr;
        done(*result);
        return true;
    }

    std::shared_ptr<Shared> m_shared;
    quint64 m_serial = 0;
    Done m_done;
};
