#pragma once
// The per-user folder that holds the instance lock and the hand-off socket:
// $XDG_RUNTIME_DIR/VelmoPlayer, or /tmp/VelmoPlayer-<uid> when the runtime
// folder is not set. Only its owner may enter it (mode 0700).

#include <QString>

// Creates the folder when missing and returns its absolute path. Returns an
// empty text when it cannot be made safe: not creatable, not a real folder
// (a symbolic link), or owned by another user. Any thread.
QString RuntimeFolder();
