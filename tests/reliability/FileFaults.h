#pragma once
// The files the player saves, each behind one small interface, so that every
// fault test runs over all of them: markers, playlist, settings, language.
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

struct SavedFileKind {
    const char* name;
    // Writes generation `generation` of the file (each generation different,
    // `huge` makes it tens of megabytes so a save takes a while). Throws
    // AppError like the program's own save does.
    std::function<void(const QString& path, int generation, bool huge)> write;
    // The message the program shows when saving to path fails.
    std::function<bool(const QString& message, const QString& path)> isFailureMessage;
    // The language file is only ever created, never replaced.
    bool replacesOldFile;
};

const std::vector<SavedFileKind>& SavedFileKinds();
const SavedFileKind* SavedFileKindNamed(const QString& name);

QByteArray ReadAll(const QString& path);

// A tmpfs mounted on a fresh folder for one test; unmounted again on
// destruction. ok() is false where this machine does not allow mounting.
class TmpfsMount {
public:
    TmpfsMount(const QString& folder, const QString& options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    bool ok() const { return mounted_; }
    bool remount(const QString& options);
    const QString& folder() const { return folder_; }

private:
    QString folder_;
    bool mounted_ = false;
};
