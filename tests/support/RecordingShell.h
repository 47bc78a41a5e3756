#pragma once
// Shell for tests: records what would have been opened.

#include "platform/Shell.h"

#include <QStringList>

class RecordingShell final : public Shell {
public:
    RecordingShell() : previous_(setShell(this)) {}
    ~RecordingShell() override { setShell(previous_); }

    bool openUrl(const QString& url) override {
        urls << url;
        return result;
    }
    bool exploreFolder(const QString& folder) override {
        folders << folder;
        return result;
    }

    QStringList urls;
    QStringList folders;
    bool result = true;

private:
    Shell* previous_ = nullptr;
};
