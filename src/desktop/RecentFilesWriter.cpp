#include "desktop/RecentFilesWriter.h"

#include "desktop/RecentFiles.h"

#include <QDateTime>

RecentFilesWriter::RecentFilesWriter() {
    // One thread keeps the adds in order; it stays for the whole run.
    thread_.setMaxThreadCount(1);
    thread_.setExpiryTimeout(-1);
}

RecentFilesWriter::~RecentFilesWriter() { waitForDone(); }

void RecentFilesWriter::add(const QString& filePath) {
    // The time of the load, not of the write.
    thread_.start([filePath, when = QDateTime::currentDateTimeUtc()] { RecentFiles().add(filePath, when); });
}

void RecentFilesWriter::waitForDone() { thread_.waitForDone(); }
