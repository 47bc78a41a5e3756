#pragma once
// Windows for the settings loader and saver that record what they receive.

#include "settings/SettingsWindows.h"

#include <QStringList>

#include <array>

class FakeWindows final : public SettingsWindows {
public:
    QRect MainBounds() const override { return main; }
    void SetMainBounds(const QRect& bounds) override { main = bounds; }
    QRect ListBounds() const override { return list; }
    void SetListBounds(const QRect& bounds) override { list = bounds; }
    QSize ListMinimumSize() const override { return QSize(700, 270); }
    QSize EditorSize() const override { return editor; }
    void SetEditorSize(const QSize& size) override { editor = size; }
    int Volume() const override { return volume; }
    void SetVolumeBar(int value) override { volume = value; }
    bool EqEnabled() const override { return eq; }
    void SetEqEnabled(bool on) override { eq = on; }
    int EqBand(int band) const override { return bands[band - 1]; }
    void SetEqBand(int band, int value) override { bands[band - 1] = value; }
    bool AutoStop() const override { return autoStop; }
    void SetAutoStop(bool on) override { autoStop = on; }
    int Speed() const override { return speed; }
    void SetSpeed(int percent) override { speed = percent; }
    QString ListFilename() const override { return listFilename; }
    void LoadListBg(const QString& fileName) override { loadedLists << fileName; listFilename = fileName; }
    QString LastAddDir() const override { return lastAddDir; }
    void SetLastAddDir(const QString& folder) override { lastAddDir = folder; }
    QString LastSaveDir() const override { return lastSaveDir; }
    void SetLastSaveDir(const QString& folder) override { lastSaveDir = folder; }
    QString LastOpenDir() const override { return lastOpenDir; }
    void SetLastOpenDir(const QString& folder) override { lastOpenDir = folder; }
    void ReadAndApplyLanguage() override { ++languageApplied; }
    void WriteLanguageFile() override { ++languageWritten; }

    QRect main{1, 2, 3, 4};
    QRect list{5, 6, 7, 8};
    QSize editor{9, 10};
    int volume = -1;
    bool eq = true;
    std::array<int, 9> bands{};
    bool autoStop = true;
    int speed = 0;
    QString listFilename = "/own/default/list";
    QStringList loadedLists;
    QString lastAddDir, lastSaveDir, lastOpenDir;
    int languageApplied = 0;
    int languageWritten = 0;
};
