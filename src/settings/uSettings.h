#pragma once
// TfrmSettings, the settings window. It holds the user's settings for the
// whole run: every other window reads them through its accessors (and four
// switches through its public fields). The values live in the window's
// controls; LoadSettings fills them at start, SaveSettings writes them at
// exit, and nothing in between touches the settings file.
// GUI thread only.

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(QWidget* parent = nullptr);
    ~TfrmSettings() override;

    static constexpr const char* Caption = "Velmo Player - Settings";
    static constexpr int ClientWidth = 760;
    // The rows of the features added since make it taller than the first
    // design (569) by AddedRowsHeight; the two bottom buttons move down.
    static constexpr int AddedRowsHeight = 87;
    static constexpr int ClientHeight = 569 + AddedRowsHeight;

    // ---- settings ----------------------------------------------------------------
    // The four mirrored switches: read from the fields, set into field and box.
    // A box that changes state runs its click handler, as a user's click does.
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool value);
    bool AddOnDrop() const { return FAddOnDrop; }
    void SetAddOnDrop(bool value);
    bool AddCL() const { return FAddCL; }
    void SetAddCL(bool value);
    bool AddOnOpen() const { return FAddOnOpen; }
    void SetAddOnOpen(bool value);

    // Integers live in their spin edits. A getter returns the number written
    // in the edit, unclamped (a typed 99 stays 99 until the edit loses the
    // focus), or the edit's minimum when the text is no number. A setter
    // clamps to the edit's range; the edit's change handler runs only when
    // its text actually changes.
    int SeekTime() const;  // 1 to 30 seconds
    void SetSeekTime(int value);
    int MarkersFontSize() const;  // 6 to 20 points
    void SetMarkersFontSize(int value);
    int ListFontSize() const;  // 6 to 20 points
    void SetListFontSize(int value);
    int EditorFontSize() const;  // 6 to 20 points
    void SetEditorFontSize(int value);

    // The other switches live in their check boxes.
    bool LockMarkers() const;
    void SetLockMarkers(bool value);
    bool AutoLoadLastList() const;
    void SetAutoLoadLastList(bool value);
    bool AutoSaveList() const;
    void SetAutoSaveList(bool value);
    bool AutoSaveLastPos() const;  // implies AutoSave (see the click handlers)
    void SetAutoSaveLastPos(bool value);
    // Switches of the features added since.
    bool ShowWaveform() const;  // the sound's level envelope under the timeline
    void SetShowWaveform(bool value);
    bool ShowMarkerNames() const;  // descriptions after the marker times
    void SetShowMarkerNames(bool value);
    bool NameMarkersOnAdd() const;  // the editor opens for a marker just added
    void SetNameMarkersOnAdd(bool value);

    // Mirrors of cbAutoSave, cbAddOnDrop, cbAddCL and cbAddOnOpen.
    bool FAutoSave = false;
    bool FAddOnDrop = false;
    bool FAddCL = false;
    bool FAddOnOpen = false;

    // ---- showing -----------------------------------------------------------------
    // Shows the window modally, centred on owner (the screen when null), and
    // returns when it is closed. Closing saves nothing.
    void ShowModalOver(QWidget* owner);

    // ---- handlers ----------------------------------------------------------------
    void FormCreate();
    void btnFilaTypesClick();
    void btnWinSettingsClick();
    void btnIniLocationClick();
    void btnCloseClick();
    void cbAutoSaveClick();
    void cbAddOnDropClick();
    void cbAddCLClick();
    void cbAddOnOpenClick();
    void cbAutoSaveLastPosClick();
    void seMarkersFontChange();
    void seListFontChange();
    void seEditorFontChange();

    // ---- controls (owned by the window) ------------------------------------------
    QGroupBox* GroupBox1 = nullptr;
    QLabel* lbInfoAssociations = nullptr;
    QPushButton* btnFilaTypes = nullptr;
    QPushButton* btnWinSettings = nullptr;
    QSpinBox* seSeekTime = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* seListFont = nullptr;
    QLabel* Label4 = nullptr;
    QSpinBox* seMarkersFont = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbLock = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* seEditorFont = nullptr;
    QLabel* Label8 = nullptr;
    QCheckBox* cbAddOnDrop = nullptr;
    QLabel* lbAddOnDrop = nullptr;
    QCheckBox* cbAddCL = nullptr;
    QLabel* lbAddCL = nullptr;
    QCheckBox* cbAddOnOpen = nullptr;
    QLabel* lbAddOnOpen = nullptr;
    QCheckBox* cbAutoSave = nullptr;
    QLabel* lbAutoSave = nullptr;
    QCheckBox* cbAutoSaveLastPos = nullptr;
    QLabel* Label7 = nullptr;
    QCheckBox* cbAutoLoad = nullptr;
    QLabel* Label5 = nullptr;
    QCheckBox* cbAutoSavePl = nullptr;
    QLabel* Label6 = nullptr;
    QCheckBox* cbShowWaveform = nullptr;
    QLabel* lbShowWaveform = nullptr;
    QCheckBox* cbShowMarkerNames = nullptr;
    QLabel* lbShowMarkerNames = nullptr;
    QCheckBox* cbNameOnAdd = nullptr;
    QLabel* lbNameOnAdd = nullptr;
    QPushButton* btnIniLocation = nullptr;
    QPushButton* btnClose = nullptr;

signals:
    // The windows of other units follow the settings through these; the
    // running program connects them (app/uIniWindows.h). The font sizes (in
    // points) are for the main window's marker list, the playlist window's
    // list and the marker editor's text box; each fires when its spin edit's
    // text changes, by the user or by a setter. The lock fires when cbLock
    // changes, by the user or by SetLockMarkers.
    void MarkersFontSizeChanged(int points);
    void ListFontSizeChanged(int points);
    void EditorFontSizeChanged(int points);
    void LockMarkersChanged(bool locked);
    // The timeline's look changed: the waveform or the marker names were
    // switched on or off.
    void TimelineLookChanged();

private:
    QSpinBox* CreateSpinEdit(const char* name, QRect bounds, int min, int max, int value);
    QCheckBox* CreateCheckBox(const char* name, QRect bounds);
    QLabel* CreateLabel(const char* name, QRect bounds, const QString& text);
    QPushButton* CreateButton(QWidget* parent, const char* name, QRect bounds,
                              const QString& text, const QString& hint);
    static int SpinEditNumber(const QSpinBox* edit);
    static void SetSpinEditNumber(QSpinBox* edit, int value);
};

// The one settings window of the running player (nullptr before it is created
// and after it is gone).
TfrmSettings* frmSettings();
