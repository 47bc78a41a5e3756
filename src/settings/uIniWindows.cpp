// The running program's windows as the settings loader and saver see them.
// A value whose window does not offer it yet is kept here, so it goes back
// into the file as it was read.

#include "app/uMain.h"
#include "platform/UserFolders.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsWindows.h"
#include "settings/uIni.h"
#include "settings/uLang.h"

#include <algorithm>

namespace {

class Windows final : public SettingsWindows {
public:
    Windows() : FListFilename(DocumentsDefault()) {}

    QRect MainBounds() const override {
        if (TForm1* form = Form1())
            return QRect(form->pos(), form->size());
        return FMain;
    }
    void SetMainBounds(const QRect& bounds) override {
        FMain = bounds;
        if (TForm1* form = Form1()) {
            // The window's minimum size pulls a too small size up.
            form->move(bounds.topLeft());
            form->resize(bounds.size().expandedTo(form->minimumSize()));
        }
    }
    QRect ListBounds() const override { return FList; }
    void SetListBounds(const QRect& bounds) override {
        FList = QRect(bounds.topLeft(), bounds.size().expandedTo(ListMinimumSize()));
    }
    QSize ListMinimumSize() const override {
        return QSize(ListWindowSettings::kMinWidth, ListWindowSettings::kMinHeight);
    }
    QSize EditorSize() const override { return FEditor; }
    void SetEditorSize(const QSize& size) override { FEditor = size; }

    int Volume() const override { return FVolume; }
    void SetVolumeBar(int value) override { FVolume = std::clamp(value, 0, 100); }
    bool EqEnabled() const override { return FEq; }
    void SetEqEnabled(bool on) override { FEq = on; }
    int EqBand(int band) const override { return FBands[band - 1]; }
    void SetEqBand(int band, int value) override { FBands[band - 1] = std::clamp(value, 0, 24); }
    bool AutoStop() const override { return FAutoStop; }
    void SetAutoStop(bool on) override { FAutoStop = on; }

    QString ListFilename() const override { return FListFilename; }
    void LoadListBg(const QString& fileName) override { FListFilename = fileName; }
    QString LastAddDir() const override { return FLastAddDir; }
    void SetLastAddDir(const QString& folder) override { FLastAddDir = folder; }
    QString LastSaveDir() const override { return FLastSaveDir; }
    void SetLastSaveDir(const QString& folder) override { FLastSaveDir = folder; }
    QString LastOpenDir() const override { return FLastOpenDir; }
    void SetLastOpenDir(const QString& folder) override { FLastOpenDir = folder; }

    void ReadAndApplyLanguage() override {
        uLang::ReadLanguageFile();
        ::ApplyLanguage();
    }
    void WriteLanguageFile() override { uLang::WriteLanguageFile(); }

private:
    QRect FMain;
    QRect FList;
    QSize FEditor;
    int FVolume = ParameterSettings::kDefaultVolume;
    bool FEq = false;
    int FBands[ParameterSettings::kEqBands] = {12, 12, 12, 12, 12, 12, 12, 12, 12};
    bool FAutoStop = false;
    QString FListFilename;
    QString FLastAddDir;
    QString FLastSaveDir;
    QString FLastOpenDir;
};

}  // namespace

SettingsWindows& RunningWindows() {
    static Windows windows;
    return windows;
}
