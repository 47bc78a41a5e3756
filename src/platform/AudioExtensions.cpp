#include "platform/AudioExtensions.h"

const QStringList& LoadExtensions() {
    static const QStringList extensions{".mp3", ".wma", ".ogg", ".wav", ".mp4", ".m4a", ".flac"};
    return extensions;
}

const QStringList& PlaylistExtensions() {
    static const QStringList extensions{".mp3", ".wma", ".ogg", ".wav", ".mp4"};
    return extensions;
}

const QStringList& InfoExtensions() {
    static const QStringList extensions{".wav", ".mp3", ".ogg", ".wma", ".flac", ".mp4", ".m4a"};
    return extensions;
}

bool HasAcceptedExtension(const QString& path, const QStringList& extensions) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot);
    for (const QString& accepted : extensions)
        if (extension.compare(accepted, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
