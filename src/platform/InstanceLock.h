#pragma once
// The single-instance lock "MyUniquePlayerMutexName": an flock() on a file of
// that name in the private runtime folder. The process that gets the lock is
// the player; a process that finds it taken is a messenger. The kernel drops
// the lock when the holder ends for any reason, so a crashed player never
// blocks the next start.

#include <QString>

class InstanceLock {
public:
    static constexpr const char* kName = "MyUniquePlayerMutexName";

    enum class Result {
        Acquired,       // this process is the player
        AlreadyExists,  // another process holds the lock
        Unavailable,    // no lock could be made (no usable folder, I/O error)
    };

    // folder: where the lock file lives; RuntimeFolder() by default.
    InstanceLock();
    explicit InstanceLock(const QString& folder);
    ~InstanceLock();  // releases the lock if held
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Tries once, without waiting. Calling it again while held returns Acquired.
    Result acquire();
    // Gives the lock up; the next start becomes the player.
    void release();

    bool held() const { return fd_ >= 0; }
    // The folder of the lock; the hand-off socket lives beside it.
    const QString& folder() const { return folder_; }

private:
    QString folder_;
    int fd_ = -1;
};
