#pragma once
// Adds files to the desktop's recent files list (RecentFiles) on a thread of
// its own: reading, rewriting and syncing the shared list can take a while on
// a slow or busy disk, and a load must not wait for it. Adds are made one at a
// time in the order given; destroying the writer waits for those still
// pending, so none is lost at exit. Call it from one thread.

#include <QString>
#include <QThreadPool>

class RecentFilesWriter {
public:
    RecentFilesWriter();
    ~RecentFilesWriter();

    // Queues RecentFiles().add(filePath) with the present time; returns at once.
    void add(const QString& filePath);
    // Waits until every queued add is written (or has failed).
    void waitForDone();

private:
    QThreadPool thread_;
};
