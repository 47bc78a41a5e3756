#pragma once
// The per-user folders the player keeps its files in.

#include <QString>

// $XDG_CONFIG_HOME/VelmoPlayer/ (~/.config/VelmoPlayer/ when the variable is
// unset), always ending with "/", created with its parents when missing (a
// failure to create is ignored). Empty when the platform names no
// configuration folder. Every call repeats the check.
QString GetConfigFolder();

// $XDG_CACHE_HOME/VelmoPlayer/ (~/.cache/VelmoPlayer/), the same way.
QString GetCacheFolder();

// The default of the playlist file and folder settings: the user's documents
// folder (XDG "DOCUMENTS"), "/" and "NeuList"; "NeuList" alone when the
// platform names no documents folder. The playlist's own DefaultListFile()
// follows the same rule.
QString DocumentsDefault();
