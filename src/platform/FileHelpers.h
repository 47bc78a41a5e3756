#pragma once
// Shell and file helpers the windows share: open a folder or a web address
// through the Shell interface, collect the files of a folder tree, and two
// small text tests. Paths are POSIX paths; the path delimiter is "/".

#include <QString>
#include <QStringList>

#include <functional>

class QMimeData;

// Opens the folder in the file manager. Nothing is reported. GUI thread.
void ExploreFolder(const QString& Folder);

// Address with a scheme ensured: unchanged when it starts with "http://",
// "https://" or "ftp://" in any letter case, else "http://" in front.
QString AddressWithScheme(const QString& Address);
// Opens AddressWithScheme(Address) in the default browser. Nothing is reported.
// GUI thread.
void OpenUrl(const QString& Address);

// Called before each entry of a folder's subfolder pass. A GUI-thread caller
// lets pending events run here; a worker checks its cancel flag. Returning
// false stops the search at once (List keeps what was found so far).
using FindFilesTick = std::function<bool()>;

// Collects into List (emptied first) the full paths of the files of Folder
// whose names match Pattern ("*.*" and "*" match every name; otherwise a
// wildcard compared without regard to case). Hidden files are collected.
// With Recursive, then visits the subfolders in file-system order, depth
// first; hidden folders (a name starting with ".") are never entered.
// Symbolic links are followed; a folder reached twice (a link cycle) is
// visited once only. Returns whether any file was found.
// Throws AppError when a folder on the way cannot be read. Any thread: it
// touches no global state.
bool FindFiles(const QString& Folder, const QString& Pattern, QStringList& List, bool Recursive,
               const FindFilesTick& Tick = {});

// Text with a trailing "/" ensured; an empty text gives "/".
QString AddTrailingBackslash(const QString& Text);

// The local files and folders of a drag or drop, in the order given; web
// addresses and other data are left out.
QStringList DroppedLocalPaths(const QMimeData* mime);

// True when Text is empty or made of spaces (U+0020) only.
bool IsBlank(const QString& Text);
