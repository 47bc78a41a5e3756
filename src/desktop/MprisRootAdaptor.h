#pragma once
// The MPRIS root interface org.mpris.MediaPlayer2: who the player is, which
// files it opens, Raise and Quit.

#include <QDBusAbstractAdaptor>
#include <QStringList>

class MprisService;

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    // The MIME types of the audio files the player opens (as in its desktop entry).
    static QStringList audioMimeTypes();

    // Exported on the service's object.
    explicit MprisRootAdaptor(MprisService* service);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Velmo Player"); }
    QString DesktopEntry() const { return QStringLiteral("velmoplayer"); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList SupportedMimeTypes() const { return audioMimeTypes(); }

public Q_SLOTS:
    void Raise();
    // Closes through the main window's close path, after the reply.
    void Quit();

private:
    MprisService* service_;
};
