#pragma once
// MPRIS2 on the session bus: desktops, media keys and `playerctl` control the
// player through the service org.mpris.MediaPlayer2.velmoplayer, object
// /org/mpris/MediaPlayer2, with the root and Player interfaces
// (MprisRootAdaptor, MprisPlayerAdaptor). Everything goes through a
// MprisPlayerFacade, so the service knows nothing of the windows.
//
// QtDBus does not announce property changes by itself: the service looks at
// the player after every command and four times a second and sends
// org.freedesktop.DBus.Properties.PropertiesChanged for what changed, and
// Seeked when the play position jumped (position changes are never sent as
// PropertiesChanged). GUI thread only.

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <functional>

#include "desktop/MprisPlayerFacade.h"

class MprisPlayerAdaptor;

// The exported object: QtDBus hands the context of a call (needed to answer
// with an error) to the object that carries the adaptors.
class MprisService : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    static constexpr const char* ServiceName = "org.mpris.MediaPlayer2.velmoplayer";
    static constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* PlayerInterface = "org.mpris.MediaPlayer2.Player";
    // The track id MPRIS reserves for "nothing loaded".
    static constexpr const char* NoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
    static constexpr int PollIntervalMs = 250;
    // A position further than this from where steady playback would have taken
    // it counts as a seek.
    static constexpr double SeekToleranceSeconds = 0.5;

    MprisService(MprisPlayerFacade& player, QDBusConnection connection, QObject* parent = nullptr);
    ~MprisService() override;

    // Exports the object and claims the service name (with ".instance<pid>"
    // appended when another player holds it). Returns false, quietly, when
    // there is no bus or nothing could be registered; the player works on.
    bool start();
    // The name claimed by start(); empty before.
    const QString& serviceName() const { return serviceName_; }

    MprisPlayerFacade& player() const { return player_; }

    // The object path naming the loaded track; a new one for every new load,
    // NoTrack when nothing is loaded.
    QDBusObjectPath trackId();

    // Sends PropertiesChanged for the Player properties that changed since the
    // last look, and Seeked when the position jumped. The poll that calls it
    // sleeps once a look finds nothing changed and nothing playing.
    void refresh();
    // Restarts the sleeping poll: the player's state may change (its window
    // saw input or its play state moved).
    void wake();
    // Sends Seeked with the present position (after a seek made through MPRIS).
    void announceSeek();
    // Runs command once the D-Bus reply has gone out, then refreshes. Commands
    // that can open a dialog (a load, the close path) run so, because a dialog
    // must not hold a D-Bus call open.
    void later(std::function<void()> command);
    // Answers the D-Bus call being handled with "not supported" and message.
    void refuseCall(const QString& message);

private:
    QVariantMap watchedProperties();
    void rememberPosition();

    MprisPlayerFacade& player_;
    QDBusConnection connection_;
    MprisPlayerAdaptor* playerAdaptor_ = nullptr;
    QString serviceName_;
    bool registered_ = false;
    QTimer poll_;

    QString trackPath_;
    quint64 trackNumber_ = 0;

    QVariantMap lastProperties_;
    // Where the position was at the last look, to tell a seek from playback.
    QString positionTrack_;
    double positionSeconds_ = 0;
    bool positionMoving_ = false;
    QElapsedTimer positionClock_;
};
