#include "playlist/QrtDialogs.h"

#include "platform/Prompts.h"

QString PickFolder(const QString& Title, const QString& DefaultFolder) {
    return prompts().pickFolder(Title, DefaultFolder);
}
