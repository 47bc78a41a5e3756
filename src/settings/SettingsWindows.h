#pragma once
// What the settings loader and saver need of the windows other than the
// settings window: bounds, the volume and equalizer bars, auto-stop, the
// playlist's file and folders, and the language texts. The running program
// binds these to its windows (app/uIniWindows.cpp); tests give their own.
// GUI thread only.

#include <QRect>
#include <QSize>
#include <QString>

class SettingsWindows {
public:
    virtual ~SettingsWindows() = default;

    // Outer bounds; each window keeps itself within its own minimum size.
    virtual QRect MainBounds() const = 0;
    virtual void SetMainBounds(const QRect& bounds) = 0;
    virtual QRect ListBounds() const = 0;
    virtual void SetListBounds(const QRect& bounds) = 0;
    virtual QSize ListMinimumSize() const = 0;
    // The marker editor keeps only its size; it centres itself when shown.
    virtual QSize EditorSize() const = 0;
    virtual void SetEditorSize(const QSize& size) = 0;

    // The main window's volume bar (0 to 100; the bar clamps and reports the
    // change) and its Volume.
    virtual int Volume() const = 0;
    virtual void SetVolumeBar(int value) = 0;
    // The equalizer switch (a change runs its handler) and the nine band bars
    // 1 to 9 (0 to 24; the bars clamp and report every assignment).
    virtual bool EqEnabled() const = 0;
    virtual void SetEqEnabled(bool on) = 0;
    virtual int EqBand(int band) const = 0;
    virtual void SetEqBand(int band, int value) = 0;
    virtual bool AutoStop() const = 0;
    virtual void SetAutoStop(bool on) = 0;
    // The playing speed in percent (the main window keeps it on its steps
    // and within its range).
    virtual int Speed() const = 0;
    virtual void SetSpeed(int percent) = 0;

    // The playlist window: its current list file, loading a list file, and
    // its three folders (it decides which values it keeps).
    virtual QString ListFilename() const = 0;
    virtual void LoadListBg(const QString& fileName) = 0;
    virtual QString LastAddDir() const = 0;
    virtual void SetLastAddDir(const QString& folder) = 0;
    virtual QString LastSaveDir() const = 0;
    virtual void SetLastSaveDir(const QString& folder) = 0;
    virtual QString LastOpenDir() const = 0;
    virtual void SetLastOpenDir(const QString& folder) = 0;

    // The language file: read it and put its texts into the windows (the last
    // step of loading); write it when it does not exist yet (the last step of
    // saving).
    virtual void ReadAndApplyLanguage() = 0;
    virtual void WriteLanguageFile() = 0;
};
