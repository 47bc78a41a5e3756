#pragma once
// The per-user folders the player keeps its files in.

#include <QString>

// Name of the default playlist file in the documents folder (no extension).
inline const QString DefaultListName = QStringLiteral("NeuList");

// $XDG_CONFIG_HOME/VelmoPlayer/ (~/.config/VelmoPlayer/ when the variable is
// unset), always ending with "/", created with its parents when missing (a
// failure to create is ignored). Empty when the platform names no
// configuration folder. Every call repeats the check.
QString GetConfigFolder();

// The user's documents folder (XDG "DOCUMENTS") ending with "/", or empty
// when the platform names none.
QString GetDocumentsFolder();

// The default of the playlist file and folder settings: the documents folder
// followed by DefaultListName, or DefaultListName alone.
QString DocumentsDefault();
