#include "settings/uIni.h"

#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "platform/Prompts.h"
#include "platform/UserFolders.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsWindows.h"
#include "settings/uSettings.h"

namespace {

QString key(const char* name) { return QString::fromLatin1(name); }

QString eqKey(int band) {
    return key(ParameterSettings::kEqBandPrefix) + QString::number(band);
}

void loadWindowBounds(const ProfileFile& ini, SettingsWindows& windows) {
    namespace M = MainWindowSettings;
    namespace L = ListWindowSettings;
    namespace E = EditWindowSettings;
    const QString main = key(M::kSection);
    const int mainLeft = ini.readInteger(main, key(M::kLeft), M::kDefaultLeft);
    const int mainTop = ini.readInteger(main, key(M::kTop), M::kDefaultTop);
    const int mainHeight = ini.readInteger(main, key(M::kHeight), M::kDefaultHeight);
    const int mainWidth = ini.readInteger(main, key(M::kWidth), M::kDefaultWidth);
    windows.SetMainBounds(QRect(mainLeft, mainTop, mainWidth, mainHeight));

    // The playlist window opens at the main window's corner, as the main
    // window now stands, unless the file says otherwise.
    const QRect mainNow = windows.MainBounds();
    const QSize listMinimum = windows.ListMinimumSize();
    const QString list = key(L::kSection);
    const int listLeft = ini.readInteger(list, key(L::kLeft), mainNow.left());
    const int listTop = ini.readInteger(list, key(L::kTop), mainNow.top());
    const int listHeight = ini.readInteger(list, key(L::kHeight), listMinimum.height());
    const int listWidth = ini.readInteger(list, key(L::kWidth), listMinimum.width());
    windows.SetListBounds(QRect(listLeft, listTop, listWidth, listHeight));

    const QString edit = key(E::kSection);
    const int editWidth = ini.readInteger(edit, key(E::kWidth), E::kDefaultWidth);
    const int editHeight = ini.readInteger(edit, key(E::kHeight), E::kDefaultHeight);
    windows.SetEditorSize(QSize(editWidth, editHeight));
}

void saveWindowBounds(ProfileFile& ini, SettingsWindows& windows) {
    namespace M = MainWindowSettings;
    namespace L = ListWindowSettings;
    namespace E = EditWindowSettings;
    const QRect main = windows.MainBounds();
    ini.writeInteger(key(M::kSection), key(M::kLeft), main.left());
    ini.writeInteger(key(M::kSection), key(M::kTop), main.top());
    ini.writeInteger(key(M::kSection), key(M::kHeight), main.height());
    ini.writeInteger(key(M::kSection), key(M::kWidth), main.width());
    const QRect list = windows.ListBounds();
    ini.writeInteger(key(L::kSection), key(L::kLeft), list.left());
    ini.writeInteger(key(L::kSection), key(L::kTop), list.top());
    ini.writeInteger(key(L::kSection), key(L::kHeight), list.height());
    ini.writeInteger(key(L::kSection), key(L::kWidth), list.width());
    const QSize editor = windows.EditorSize();
    ini.writeInteger(key(E::kSection), key(E::kWidth), editor.width());
    ini.writeInteger(key(E::kSection), key(E::kHeight), editor.height());
}

}  // namespace

QString SettingsFilePath() {
    return GetConfigFolder() + key(kSettingsFileName);
}

void LoadSettingsFrom(const QString& path, TfrmSettings& settings, SettingsWindows& windows) {
    namespace P = ParameterSettings;
    const ProfileFile ini(path);
    const QString section = key(P::kSection);
    auto readInt = [&](const char* name, int def) { return ini.readInteger(section, key(name), def); };
    auto readBool = [&](const char* name) { return ini.readBool(section, key(name), P::kDefaultSwitch); };
    auto readText = [&](const char* name, const QString& def) { return ini.readString(section, key(name), def); };

    loadWindowBounds(ini, windows);
    windows.SetVolumeBar(readInt(P::kVolume, P::kDefaultVolume));

    settings.SetAutoSave(readBool(P::kAutoSave));
    settings.SetAddOnDrop(readBool(P::kAddOnDrop));
    settings.SetAddCL(readBool(P::kAddCL));
    settings.SetAddOnOpen(readBool(P::kAddOnOpen));

    windows.SetEqEnabled(readBool(P::kEQ));
    for (int band = 1; band <= P::kEqBands; ++band)
        windows.SetEqBand(band, ini.readInteger(section, eqKey(band), P::kDefaultEqBand));

    settings.SetSeekTime(readInt(P::kSeekTime, P::kDefaultSeekTime));
    settings.SetLockMarkers(readBool(P::kLockMarkers));
    settings.SetMarkersFontSize(readInt(P::kMarkersFontSize, P::kDefaultMarkersFontSize));
    settings.SetListFontSize(readInt(P::kListFontSize, P::kDefaultListFontSize));
    settings.SetAutoLoadLastList(readBool(P::kAutoLoadLastList));
    settings.SetAutoSaveList(readBool(P::kAutoSaveList));

    // Without AutoLoadLastList the key is not even read: the playlist window
    // keeps its own default list file.
    const QString documents = DocumentsDefault();
    if (settings.AutoLoadLastList())
        windows.LoadListBg(readText(P::kLastList, documents));

    windows.SetLastAddDir(readText(P::kLastAddDir, documents));
    windows.SetLastSaveDir(readText(P::kLastSaveDir, documents));
    windows.SetLastOpenDir(readText(P::kLastOpenDir, documents));

    settings.SetAutoSaveLastPos(readBool(P::kAutoSaveLastPos));
    settings.SetEditorFontSize(readInt(P::kEditorFontSize, P::kDefaultEditorFontSize));
    windows.SetAutoStop(readBool(P::kAutoStop));
    settings.SetShowWaveform(ini.readBool(section, key(P::kShowWaveform), P::kDefaultShowWaveform));
    settings.SetShowMarkerNames(readBool(P::kShowMarkerNames));
    settings.SetNameMarkersOnAdd(readBool(P::kNameMarkersOnAdd));
    windows.SetSpeed(readInt(P::kSpeed, P::kDefaultSpeed));

    windows.ReadAndApplyLanguage();
}

void SaveSettingsTo(const QString& path, const TfrmSettings& settings, SettingsWindows& windows) {
    namespace P = ParameterSettings;
    ProfileFile ini(path);
    const QString section = key(P::kSection);
    auto writeInt = [&](const char* name, int value) { ini.writeInteger(section, key(name), value); };
    auto writeBool = [&](const char* name, bool value) { ini.writeBool(section, key(name), value); };
    auto writeText = [&](const char* name, const QString& value) { ini.writeString(section, key(name), value); };

    saveWindowBounds(ini, windows);
    writeInt(P::kVolume, windows.Volume());
    writeBool(P::kAutoSave, settings.FAutoSave);
    writeBool(P::kAddOnDrop, settings.FAddOnDrop);
    writeBool(P::kAddCL, settings.FAddCL);
    writeBool(P::kAddOnOpen, settings.FAddOnOpen);
    writeBool(P::kEQ, windows.EqEnabled());
    for (int band = 1; band <= P::kEqBands; ++band)
        ini.writeInteger(section, eqKey(band), windows.EqBand(band));
    writeInt(P::kSeekTime, settings.SeekTime());
    writeBool(P::kLockMarkers, settings.LockMarkers());
    writeInt(P::kMarkersFontSize, settings.MarkersFontSize());
    writeInt(P::kListFontSize, settings.ListFontSize());
    writeBool(P::kAutoLoadLastList, settings.AutoLoadLastList());
    writeBool(P::kAutoSaveList, settings.AutoSaveList());
    writeText(P::kLastList, windows.ListFilename());
    writeText(P::kLastAddDir, windows.LastAddDir());
    writeText(P::kLastSaveDir, windows.LastSaveDir());
    writeText(P::kLastOpenDir, windows.LastOpenDir());
    writeBool(P::kAutoSaveLastPos, settings.AutoSaveLastPos());
    writeInt(P::kEditorFontSize, settings.EditorFontSize());
    writeBool(P::kAutoStop, windows.AutoStop());
    writeBool(P::kShowWaveform, settings.ShowWaveform());
    writeBool(P::kShowMarkerNames, settings.ShowMarkerNames());
    writeBool(P::kNameMarkersOnAdd, settings.NameMarkersOnAdd());
    writeInt(P::kSpeed, windows.Speed());
    ini.saveOrThrow();

    windows.WriteLanguageFile();
}
