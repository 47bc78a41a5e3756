#include "desktop/MprisRootAdaptor.h"

#include "desktop/MprisService.h"

QStringList MprisRootAdaptor::audioMimeTypes() {
    return {"audio/mpeg", "audio/x-wav",      "audio/wav",      "audio/vnd.wave",
            "audio/ogg",  "audio/x-vorbis+ogg", "audio/x-opus+ogg", "audio/x-ms-wma",
            "audio/mp4",  "audio/x-m4a",      "audio/flac",     "audio/x-flac"};
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

void MprisRootAdaptor::Raise() {
    service_->player().raise();
}

void MprisRootAdaptor::Quit() {
    service_->later([this] { service_->player().quit(); });
}
