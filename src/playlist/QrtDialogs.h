#pragma once
// The folder picker of the playlist window.

#include <QString>

// Shows the desktop's folder dialog (through Prompts) with Title as caption
// when not empty, starting at DefaultFolder. Returns the chosen folder, or
// empty text when the user cancels. GUI thread.
QString PickFolder(const QString& Title, const QString& DefaultFolder);
