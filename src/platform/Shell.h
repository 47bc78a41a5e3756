#pragma once
// Shell actions (open a folder in the file manager, open a web address or a
// file in its default program). The program installs QtShell, which uses
// QDesktopServices; tests install a recorder. GUI thread only.

#include <QString>
#include <QStringList>

class Shell {
public:
    virtual ~Shell() = default;
    // Opens url (a web address, a settings page, "file://...") in the
    // desktop's default handler. Returns false when nothing could handle it.
    virtual bool openUrl(const QString& url) = 0;
    // Shows the local folder in the file manager.
    virtual bool exploreFolder(const QString& folder) = 0;
    // Starts program (an absolute path) with arguments, detached: the caller
    // never waits for it. Returns false when it could not be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments);
};

Shell& shell();
Shell* setShell(Shell* s);
