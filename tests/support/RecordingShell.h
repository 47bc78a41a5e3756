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

    bool startProgram(const QString& program, const QStringList& arguments) override {
        programs << (QStringList{program} + arguments);
        return result;
    }

    QStringList urls;
    QStringList folders;
    QList<QStringList> programs;  // each: the program, then its arguments
    bool result = true;

private:
    Shell* previous_ = nullptr;
};
