#pragma once
// A folder scan that never freezes the windows: the recursive search runs on
// a worker thread while the calling (GUI) thread keeps handling its events in
// a local event loop, so windows repaint and commands stay usable. Returns
// when the search has ended, like a plain call.

#include <QString>
#include <QStringList>

#include <functional>

// The search itself: all files below folder, in the order found. Runs on the
// worker thread; may throw (AppError) when a folder cannot be entered.
using FolderSearch = std::function<QStringList(const QString& folder)>;

// The program's search: FindFiles with "*.*" and subfolders.
QStringList FindAllFiles(const QString& folder);

// Runs search(folder) on a worker thread and returns its result. An error
// raised by the search is raised again here, on the calling thread. If the
// application quits meanwhile, waits for the search and returns its result.
QStringList ScanFolder(const QString& folder, const FolderSearch& search = FindAllFiles);
