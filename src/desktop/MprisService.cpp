#include "desktop/MprisService.h"

#include "desktop/MprisPlayerAdaptor.h"
#include "desktop/MprisRootAdaptor.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusMessage>

#include <cmath>

MprisService::MprisService(MprisPlayerFacade& player, QDBusConnection connection, QObject* parent)
    : QObject(parent), player_(player), connection_(std::move(connection)) {
    new MprisRootAdaptor(this);
    playerAdaptor_ = new MprisPlayerAdaptor(this);
    poll_.setInterval(PollIntervalMs);
    connect(&poll_, &QTimer::timeout, this, &MprisService::refresh);
}

MprisService::~MprisService() {
    if (!serviceName_.isEmpty())
        connection_.unregisterService(serviceName_);
    if (registered_)
        connection_.unregisterObject(ObjectPath);
}

bool MprisService::start() {
    if (!connection_.isConnected())
        return false;
    registered_ = connection_.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors);
    if (!registered_)
        return false;
    // MPRIS's rule for a second instance: the same name with a suffix.
    const QString plain = ServiceName;
    const QString suffixed = plain + ".instance" + QString::number(QCoreApplication::applicationPid());
    for (const QString& name : {plain, suffixed})
        if (connection_.registerService(name)) {
            serviceName_ = name;
            break;
        }
    if (serviceName_.isEmpty()) {
        connection_.unregisterObject(ObjectPath);
        registered_ = false;
        return false;
    }
    lastProperties_ = watchedProperties();
    rememberPosition();
    poll_.start();
    return true;
}

QDBusObjectPath MprisService::trackId() {
    const QString path = player_.trackPath();
    if (path.isEmpty()) {
        trackPath_.clear();  // loading the same file again later is a new track
        return QDBusObjectPath(NoTrack);
    }
    if (path != trackPath_) {
        trackPath_ = path;
        ++trackNumber_;
    }
    return QDBusObjectPath(QStringLiteral("/org/velmoplayer/track/%1").arg(trackNumber_));
}

QVariantMap MprisService::watchedProperties() {
    const MprisPlayerAdaptor& p = *playerAdaptor_;
    return {
        {"PlaybackStatus", p.PlaybackStatus()},
        {"Metadata", p.Metadata()},
        {"Volume", p.Volume()},
        {"Rate", p.Rate()},
        {"CanGoNext", p.CanGoNext()},
        {"CanGoPrevious", p.CanGoPrevious()},
        {"CanPlay", p.CanPlay()},
        {"CanPause", p.CanPause()},
        {"CanSeek", p.CanSeek()},
    };
}

void MprisService::refresh() {
    const QVariantMap now = watchedProperties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (lastProperties_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    lastProperties_ = now;
    if (changed.isEmpty() && player_.status() != MprisPlayerFacade::Status::Playing)
        poll_.stop();
    if (!changed.isEmpty() && registered_) {
        QDBusMessage signal = QDBusMessage::createSignal(
            ObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        signal << QString(PlayerInterface) << changed << QStringList();
        connection_.send(signal);
    }

    // A position away from where steady playback would have taken it is a
    // seek made in the window (a click on the timeline, the arrow keys) or
    // the rewind at the end of a track.
    const double position = player_.positionSeconds();
    if (player_.trackPath() == positionTrack_ && !positionTrack_.isEmpty()) {
        const double expected =
            positionSeconds_ + (positionMoving_ ? positionClock_.elapsed() / 1000.0 : 0.0);
        if (std::abs(position - expected) > SeekToleranceSeconds) {
            announceSeek();
            return;
        }
    }
    rememberPosition();
}

void MprisService::wake() {
    if (registered_ && !poll_.isActive())
        poll_.start();
}

void MprisService::announceSeek() {
    rememberPosition();
    emit playerAdaptor_->Seeked(std::llround(positionSeconds_ * 1e6));
}

void MprisService::rememberPosition() {
    positionTrack_ = player_.trackPath();
    positionSeconds_ = player_.positionSeconds();
    positionMoving_ = player_.status() == MprisPlayerFacade::Status::Playing;
    positionClock_.start();
}

void MprisService::later(std::function<void()> command) {
    QTimer::singleShot(0, this, [this, command = std::move(command)] {
        command();
        refresh();
    });
}

void MprisService::refuseCall(const QString& message) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::NotSupported, message);
}
