// The running program's windows as the settings loader and saver see them.
// Controls are found by their design names (as the language texts find them):
// the main window's tbVolume, cbEq, eq1 to eq9 and CheckBox1 (auto-stop), the
// windows TfrmList and TfrmEditMarker among the top-level windows; the
// playlist's file and folders go through the playlist window's properties.
// A value whose window or control does not exist is kept here, so it goes
// back into the file as it was read. The playlist window and the marker
// editor are made after the settings are read: what was meant for them is
// kept here and given to them when they are made, in the order it was read.
// Reading a value for the settings file makes them, so the file gets what
// they would have shown.

#include "app/uIniWindows.h"

#include "controls/uQrGbar.h"
#include "mainwindow/uMain.h"
#include "platform/AppError.h"
#include "platform/Prompts.h"
#include "platform/UserFolders.h"
#include "playlist/uList.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsWindows.h"
#include "settings/uIni.h"
#include "settings/uLang.h"
#include "settings/uSettings.h"
#include "timeline/uEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTableView>

#include <algorithm>
#include <optional>

namespace {

template <typename Control>
Control* mainControl(const char* name) {
    TForm1* form = Form1();
    return form ? form->findChild<Control*>(QLatin1String(name)) : nullptr;
}

QWidget* topLevelWindow(const char* className) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits(className))
            return window;
    return nullptr;
}

QWidget* findWindow(const char* className) { return topLevelWindow(className); }

void setPointSize(QWidget* control, int points) {
    if (!control)
        return;
    QFont font = control->font();
    font.setPointSize(points);
    control->setFont(font);
}

QString eqBarName(int band) { return QStringLiteral("eq%1").arg(band); }

class Windows final : public SettingsWindows {
public:
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
    QRect ListBounds() const override {
        if (QWidget* list = frmList())
            return QRect(list->pos(), list->size());
        return FList.value_or(QRect());
    }
    void SetListBounds(const QRect& bounds) override {
        FList = QRect(bounds.topLeft(), bounds.size().expandedTo(ListMinimumSize()));
        if (TfrmList* list = frmListIfMade())
            placeList(*list);
    }
    QSize ListMinimumSize() const override {
        const QSize design(ListWindowSettings::kMinWidth, ListWindowSettings::kMinHeight);
        QWidget* list = topLevelWindow("TfrmList");
        if (!list || list->minimumSize().isEmpty())
            return design;
        return list->minimumSize();
    }
    QSize EditorSize() const override { return frmEditMarker()->size(); }
    void SetEditorSize(const QSize& size) override {
        FEditor = size;
        if (QWidget* editor = topLevelWindow("TfrmEditMarker"))
            editor->resize(size);
    }

    int Volume() const override {
        if (auto* bar = mainControl<TQrGbar>("tbVolume"))
            return bar->Value();
        return FVolume;
    }
    void SetVolumeBar(int value) override {
        FVolume = std::clamp(value, 0, 100);
        if (auto* bar = mainControl<TQrGbar>("tbVolume"))
            bar->SetValue(value);  // the bar clamps and reports the change
    }
    int Speed() const override {
        if (TForm1* form = Form1())
            return form->Speed();
        return FSpeed;
    }
    void SetSpeed(int percent) override {
        FSpeed = percent;
        if (TForm1* form = Form1())
            form->SetSpeed(percent);  // on its steps and within its range
    }
    bool EqEnabled() const override {
        if (auto* box = mainControl<QCheckBox>("cbEq"))
            return box->isChecked();
        return FEq;
    }
    void SetEqEnabled(bool on) override {
        FEq = on;
        if (auto* box = mainControl<QCheckBox>("cbEq"))
            box->setChecked(on);
    }
    int EqBand(int band) const override {
        if (auto* bar = mainControl<TQrGbar>(eqBarName(band).toLatin1().constData()))
            return bar->Value();
        return FBands[band - 1];
    }
    void SetEqBand(int band, int value) override {
        FBands[band - 1] = std::clamp(value, 0, 24);
        if (auto* bar = mainControl<TQrGbar>(eqBarName(band).toLatin1().constData()))
            bar->SetValue(value);
    }
    // The main window's auto-stop box runs SetAutoStop when it changes.
    bool AutoStop() const override {
        if (auto* box = mainControl<QCheckBox>("CheckBox1"))
            return box->isChecked();
        return FAutoStop;
    }
    void SetAutoStop(bool on) override {
        FAutoStop = on;
        if (auto* box = mainControl<QCheckBox>("CheckBox1"))
            box->setChecked(on);
    }

    // The playlist window decides what it keeps: a list file that cannot be
    // read leaves its list and file name as they were, a folder that does
    // not exist leaves the add and save folders at their defaults.
    QString ListFilename() const override {
        return frmList() ? frmList()->ListFilename() : FListToLoad.value_or(DocumentsDefault());
    }
    void LoadListBg(const QString& fileName) override {
        if (TfrmList* list = frmListIfMade())
            list->LoadListBg(fileName);
        else
            FListToLoad = fileName;
    }
    QString LastAddDir() const override { return frmList() ? frmList()->LastAddDir() : FLastAddDir.value_or(""); }
    void SetLastAddDir(const QString& folder) override {
        FLastAddDir = folder;
        if (TfrmList* list = frmListIfMade())
            list->SetLastAddDir(folder);
    }
    QString LastSaveDir() const override { return frmList() ? frmList()->LastSaveDir() : FLastSaveDir.value_or(""); }
    void SetLastSaveDir(const QString& folder) override {
        FLastSaveDir = folder;
        if (TfrmList* list = frmListIfMade())
            list->SetLastSaveDir(folder);
    }
    QString LastOpenDir() const override { return frmList() ? frmList()->LastOpenDir() : FLastOpenDir.value_or(""); }
    void SetLastOpenDir(const QString& folder) override {
        FLastOpenDir = folder;
        if (TfrmList* list = frmListIfMade())
            list->SetLastOpenDir(folder);
    }

    void ReadAndApplyLanguage() override {
        uLang::ReadLanguageFile();
        ::ApplyLanguage();
    }
    void WriteLanguageFile() override { uLang::WriteLanguageFile(); }

    // The settings window's font sizes for the windows that may not exist yet.
    void SetListFontSize(int points) {
        FListFontSize = points;
        if (TfrmList* list = frmListIfMade())
            list->SetListFontSize(points);
    }
    void SetEditorFontSize(int points) {
        FEditorFontSize = points;
        if (auto* editor = qobject_cast<TfrmEditMarker*>(topLevelWindow("TfrmEditMarker")))
            setPointSize(editor->Memo1, points);
    }

    // What was read before the window was made, in the order it was read,
    // then the language texts.
    void GiveToNewList(TfrmList& list) {
        if (FList)
            placeList(list);
        if (FListFontSize)
            list.SetListFontSize(*FListFontSize);
        if (FListToLoad)
            list.LoadListBg(*FListToLoad);
        if (FLastAddDir)
            list.SetLastAddDir(*FLastAddDir);
        if (FLastSaveDir)
            list.SetLastSaveDir(*FLastSaveDir);
        if (FLastOpenDir)
            list.SetLastOpenDir(*FLastOpenDir);
        // The language texts as they stand now.
        ::ApplyLanguage(nullptr, &list, nullptr);
        FList.reset();
        FListFontSize.reset();
        FListToLoad.reset();
        FLastAddDir.reset();
        FLastSaveDir.reset();
        FLastOpenDir.reset();
    }
    void GiveToNewEditor(TfrmEditMarker& editor) {
        if (FEditor)
            editor.resize(*FEditor);
        if (FEditorFontSize)
            setPointSize(editor.Memo1, *FEditorFontSize);
        FEditor.reset();
        FEditorFontSize.reset();
    }

private:
    void placeList(TfrmList& list) const {
        list.move(FList->topLeft());
        list.resize(FList->size());
    }

    QRect FMain;
    std::optional<QRect> FList;
    std::optional<QSize> FEditor;
    int FVolume = ParameterSettings::kDefaultVolume;
    int FSpeed = ParameterSettings::kDefaultSpeed;
    bool FEq = false;
    int FBands[ParameterSettings::kEqBands] = {12, 12, 12, 12, 12, 12, 12, 12, 12};
    bool FAutoStop = false;
    std::optional<QString> FListToLoad;
    std::optional<QString> FLastAddDir;
    std::optional<QString> FLastSaveDir;
    std::optional<QString> FLastOpenDir;
    std::optional<int> FListFontSize;
    std::optional<int> FEditorFontSize;
};

Windows& runningWindows() {
    static Windows windows;
    return windows;
}

}  // namespace

SettingsWindows& RunningWindows() { return runningWindows(); }

void LoadSettings() {
    if (TfrmSettings* settings = frmSettings())
        LoadSettingsFrom(SettingsFilePath(), *settings, RunningWindows());
}

bool SaveSettings() {
    TfrmSettings* settings = frmSettings();
    if (!settings)
        return false;
    try {
        SaveSettingsTo(SettingsFilePath(), *settings, RunningWindows());
    } catch (const AppError& error) {
        // Reported here so the closing window goes on with its other steps.
        prompts().error(error.message());
        return false;
    }
    return true;
}

void ApplyLanguage() {
    QWidget* form1 = Form1();
    if (!form1)
        form1 = findWindow("TForm1");
    ApplyLanguage(form1, findWindow("TfrmList"), findWindow("TfrmSettings"));
}

void BindSettingsToWindows(TForm1& form, TfrmSettings& settings) {
    // The lock is the one the timeline's drag obeys and its menu toggles.
    QObject::connect(&settings, &TfrmSettings::LockMarkersChanged, &form,
                     [&form](bool locked) { form.LockMarkers = locked; });
    QObject::connect(&settings, &TfrmSettings::TimelineLookChanged, &form, [&form] { form.RepaintTimeline(); });
    QObject::connect(&settings, &TfrmSettings::MarkersFontSizeChanged, &form,
                     [&form](int points) { setPointSize(form.lvMarkers, points); });
    // The playlist window fits its row height to the new font itself.
    QObject::connect(&settings, &TfrmSettings::ListFontSizeChanged, &form,
                     [](int points) { runningWindows().SetListFontSize(points); });
    QObject::connect(&settings, &TfrmSettings::EditorFontSizeChanged, &form,
                     [](int points) { runningWindows().SetEditorFontSize(points); });
    // The playlist window and the editor are made when first needed.
    QObject::connect(&form, &TForm1::PlayListWindowMade, &form,
                     [](TfrmList* list) { runningWindows().GiveToNewList(*list); });
    SetEditorMadeHook([](TfrmEditMarker& editor) { runningWindows().GiveToNewEditor(editor); });
    // A failed write has been reported; closing goes on.
    QObject::connect(&form, &TForm1::Closing, &settings, [] { SaveSettings(); });
}
