#pragma once
// Shell actions through QDesktopServices (xdg-open on Linux desktops).

#include "platform/Shell.h"

class QtShell final : public Shell {
public:
    bool openUrl(const QString& url) override;
    bool exploreFolder(const QString& folder) override;
};
