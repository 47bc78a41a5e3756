#include "desktop/MprisPlayerAdaptor.h"

#include "desktop/MprisService.h"

#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {
qlonglong toMicroseconds(double seconds) { return std::llround(seconds * 1e6); }
}  // namespace

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

bool MprisPlayerAdaptor::loaded() const { return !service_->player().trackPath().isEmpty(); }

QString MprisPlayerAdaptor::PlaybackStatus() const {
    switch (service_->player().status()) {
    case MprisPlayerFacade::Status::Playing: return QStringLiteral("Playing");
    case MprisPlayerFacade::Status::Paused: return QStringLiteral("Paused");
    case MprisPlayerFacade::Status::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

double MprisPlayerAdaptor::Rate() const { return service_->player().rate(); }

void MprisPlayerAdaptor::SetRate(double rate) {
    if (std::isnan(rate))
        return;
    // A rate of 0 asks for a pause and leaves the speed alone.
    if (rate == 0.0) {
        Pause();
        return;
    }
    service_->player().setRate(std::clamp(rate, kMinimumRate, kMaximumRate));
    service_->refresh();
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    QVariantMap m;
    m.insert("mpris:trackid", QVariant::fromValue(service_->trackId()));
    const QString path = service_->player().trackPath();
    if (path.isEmpty())
        return m;
    m.insert("mpris:length", toMicroseconds(service_->player().trackLengthSeconds()));
    m.insert("xesam:title", QFileInfo(path).fileName());
    m.insert("xesam:url", QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    return m;
}

double MprisPlayerAdaptor::Volume() const { return service_->player().volume() / 100.0; }

void MprisPlayerAdaptor::SetVolume(double volume) {
    if (std::isnan(volume))
        return;
    service_->player().setVolume(int(std::lround(std::clamp(volume, 0.0, 1.0) * 100)));
    service_->refresh();
}

qlonglong MprisPlayerAdaptor::Position() const {
    return loaded() ? toMicroseconds(service_->player().positionSeconds()) : 0;
}

bool MprisPlayerAdaptor::CanGoNext() const { return service_->player().canGoNext(); }
bool MprisPlayerAdaptor::CanGoPrevious() const { return service_->player().canGoPrevious(); }

void MprisPlayerAdaptor::Next() {
    service_->later([this] { service_->player().next(); });
}

void MprisPlayerAdaptor::Previous() {
    service_->later([this] { service_->player().previous(); });
}

void MprisPlayerAdaptor::Pause() {
    service_->later([this] {
        if (service_->player().status() == MprisPlayerFacade::Status::Playing)
            service_->player().playPause();
    });
}

void MprisPlayerAdaptor::PlayPause() {
    service_->later([this] {
        if (loaded())
            service_->player().playPause();
    });
}

void MprisPlayerAdaptor::Play() {
    service_->later([this] {
        if (loaded() && service_->player().status() != MprisPlayerFacade::Status::Playing)
            service_->player().playPause();
    });
}

void MprisPlayerAdaptor::Stop() {
    service_->player().stop();
    service_->refresh();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset) {
    if (!loaded())
        return;
    MprisPlayerFacade& player = service_->player();
    const double target = player.positionSeconds() + Offset / 1e6;
    if (target > player.trackLengthSeconds()) {
        Next();
        return;
    }
    player.setPositionSeconds(std::max(target, 0.0));
    service_->announceSeek();
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    if (!loaded() || TrackId != service_->trackId() || Position < 0)
        return;
    MprisPlayerFacade& player = service_->player();
    if (Position > toMicroseconds(player.trackLengthSeconds()))
        return;
    player.setPositionSeconds(Position / 1e6);
    service_->announceSeek();
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri) {
    const QUrl url(Uri);
    if (!url.isLocalFile()) {
        service_->refuseCall(QStringLiteral("Only local files (file://) can be opened: %1").arg(Uri));
        return;
    }
    service_->later([this, path = url.toLocalFile()] { service_->player().openFile(path); });
}
