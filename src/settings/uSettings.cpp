#include "settings/uSettings.h"

#include "platform/FileHelpers.h"
#include "platform/UserFolders.h"
#include "settings/FileAssociations.h"
#include "settings/LangTexts.h"
#include "settings/SettingsKeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QWindow>

#include <algorithm>

namespace {
TfrmSettings* g_frmSettings = nullptr;

const QColor kBackground(0x3E, 0x3E, 0x3E);
const QColor kButtonFace(0x5A, 0x5A, 0x5A);
const QColor kBoxFace(0x2C, 0x2C, 0x2C);

QFont pixelFont(int pixels, bool bold = false) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The information label: its four lines of the language texts.
QString InfoText() {
    return QStringList{uLang::frmSettings_lbInfo_1, uLang::frmSettings_lbInfo_2, uLang::frmSettings_lbInfo_3,
                       uLang::frmSettings_lbInfo_4}
        .join(QLatin1Char('\n'));
}
}  // namespace

TfrmSettings* frmSettings() { return g_frmSettings; }

TfrmSettings::TfrmSettings(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QString::fromLatin1(Caption));
    // Fixed border with the close box only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(pixelFont(12));

    GroupBox1 = new QGroupBox(QStringLiteral(" Default Player "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 746, 145);

    lbInfoAssociations = new QLabel(InfoText(), GroupBox1);
    lbInfoAssociations->setObjectName(QStringLiteral("lbInfoAssociations"));
    lbInfoAssociations->setGeometry(3, 18, 684, 80);
    lbInfoAssociations->setFont(pixelFont(12));
    lbInfoAssociations->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    btnFilaTypes = CreateButton(GroupBox1, "btnFilaTypes", QRect(7, 105, 177, 28),
                                uLang::frmSettings_btnFilaTypes,
                                uLang::frmSettings_btnFilaTypes_hint);
    btnWinSettings = CreateButton(GroupBox1, "btnWinSettings", QRect(200, 105, 177, 28),
                                  uLang::frmSettings_btnWinSettings,
                                  uLang::frmSettings_btnWinSettings_hint);

    seSeekTime = CreateSpinEdit("seSeekTime", QRect(9, 164, 49, 30), 1, 30, 1);
    Label1 = CreateLabel("Label1", QRect(64, 169, 330, 20),
                         uLang::frmSettings_Label1);
    seListFont = CreateSpinEdit("seListFont", QRect(407, 165, 49, 30), 6, 20, 9);
    Label4 = CreateLabel("Label4", QRect(462, 170, 280, 20), uLang::frmSettings_Label4);
    seMarkersFont = CreateSpinEdit("seMarkersFont", QRect(9, 209, 49, 30), 6, 20, 11);
    Label3 = CreateLabel("Label3", QRect(64, 214, 330, 20), uLang::frmSettings_Label3);
    cbLock = CreateCheckBox("cbLock", QRect(407, 215, 218, 21));
    Label2 = CreateLabel("Label2", QRect(431, 215, 300, 21), uLang::frmSettings_Label2);
    seEditorFont = CreateSpinEdit("seEditorFont", QRect(9, 253, 49, 30), 6, 20, 9);
    Label8 = CreateLabel("Label8", QRect(64, 258, 330, 20), uLang::frmSettings_Label8);

    // Check boxes and the labels that carry their texts, top to bottom.
    struct Row {
        QCheckBox** box;
        const char* boxName;
        QLabel** label;
        const char* labelName;
        int top;
        int width;
        QString text;
    };
    const Row rows[] = {
        {&cbAddOnDrop, "cbAddOnDrop", &lbAddOnDrop, "lbAddOnDrop", 302, 392,
         uLang::frmSettings_lbAddOnDrop},
        {&cbAddCL, "cbAddCL", &lbAddCL, "lbAddCL", 331, 409,
         uLang::frmSettings_lbAddCL},
        {&cbAddOnOpen, "cbAddOnOpen", &lbAddOnOpen, "lbAddOnOpen", 358, 409,
         uLang::frmSettings_lbAddOnOpen},
        {&cbAutoSave, "cbAutoSave", &lbAutoSave, "lbAutoSave", 387, 568,
         uLang::frmSettings_lbAutoSave},
        {&cbAutoSaveLastPos, "cbAutoSaveLastPos", &Label7, "Label7", 418, 392,
         uLang::frmSettings_Label7},
        {&cbAutoLoad, "cbAutoLoad", &Label5, "Label5", 449, 392,
         uLang::frmSettings_Label5},
        {&cbAutoSavePl, "cbAutoSavePl", &Label6, "Label6", 478, 392,
         uLang::frmSettings_Label6},
        {&cbShowWaveform, "cbShowWaveform", &lbShowWaveform, "lbShowWaveform", 507, 392,
         uLang::frmSettings_lbShowWaveform},
        {&cbShowMarkerNames, "cbShowMarkerNames", &lbShowMarkerNames, "lbShowMarkerNames", 536, 392,
         uLang::frmSettings_lbShowMarkerNames},
        {&cbNameOnAdd, "cbNameOnAdd", &lbNameOnAdd, "lbNameOnAdd", 565, 392,
         uLang::frmSettings_lbNameOnAdd},
    };
    for (const Row& row : rows) {
        *row.box = CreateCheckBox(row.boxName, QRect(9, row.top, 21, 21));
        *row.label = CreateLabel(row.labelName, QRect(33, row.top, row.width + 150, 21), row.text);
    }

    cbShowWaveform->setChecked(ParameterSettings::kDefaultShowWaveform);
    btnIniLocation = CreateButton(this, "btnIniLocation", QRect(9, 522 + AddedRowsHeight, 480, 36),
                                  uLang::frmSettings_btnIniLocation,
                                  uLang::frmSettings_btnIniLocation_hint);
    btnClose = CreateButton(this, "btnClose", QRect(664, 522 + AddedRowsHeight, 89, 36), uLang::frmSettings_btnClose,
                            uLang::frmSettings_btnClose_hint);

    connect(btnFilaTypes, &QPushButton::clicked, this, &TfrmSettings::btnFilaTypesClick);
    connect(btnWinSettings, &QPushButton::clicked, this, &TfrmSettings::btnWinSettingsClick);
    connect(btnIniLocation, &QPushButton::clicked, this, &TfrmSettings::btnIniLocationClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmSettings::btnCloseClick);
    // toggled, not clicked: the handlers run on every change of state, by the
    // user or by a setter, and never when the state stays.
    connect(cbAutoSave, &QCheckBox::toggled, this, &TfrmSettings::cbAutoSaveClick);
    connect(cbAddOnDrop, &QCheckBox::toggled, this, &TfrmSettings::cbAddOnDropClick);
    connect(cbAddCL, &QCheckBox::toggled, this, &TfrmSettings::cbAddCLClick);
    connect(cbAddOnOpen, &QCheckBox::toggled, this, &TfrmSettings::cbAddOnOpenClick);
    connect(cbAutoSaveLastPos, &QCheckBox::toggled, this, &TfrmSettings::cbAutoSaveLastPosClick);
    // The lock is the one the timeline's drag obeys and its menu toggles.
    connect(cbLock, &QCheckBox::toggled, this, &TfrmSettings::LockMarkersChanged);
    connect(cbShowWaveform, &QCheckBox::toggled, this, &TfrmSettings::TimelineLookChanged);
    connect(cbShowMarkerNames, &QCheckBox::toggled, this, &TfrmSettings::TimelineLookChanged);
    connect(seMarkersFont, &QSpinBox::valueChanged, this, &TfrmSettings::seMarkersFontChange);
    connect(seListFont, &QSpinBox::valueChanged, this, &TfrmSettings::seListFontChange);
    connect(seEditorFont, &QSpinBox::valueChanged, this, &TfrmSettings::seEditorFontChange);

    FormCreate();
    g_frmSettings = this;
}

TfrmSettings::~TfrmSettings() {
    if (g_frmSettings == this)
        g_frmSettings = nullptr;
}

QPushButton* TfrmSettings::CreateButton(QWidget* parent, const char* name, QRect bounds,
                                        const QString& text, const QString& hint) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(bounds);
    button->setFlat(true);
    button->setAutoFillBackground(true);
    button->setFont(pixelFont(17));
    button->setToolTip(hint);
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    // Black text needs a light face on the dark window.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, QColor(0xD8, 0xD8, 0xD8));
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    return button;
}

QSpinBox* TfrmSettings::CreateSpinEdit(const char* name, QRect bounds, int min, int max, int value) {
    auto* edit = new QSpinBox(this);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(bounds);
    edit->setRange(min, max);
    edit->setValue(value);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, kBackground);
    palette.setColor(QPalette::Text, Qt::white);
    // The arrow buttons stay visible on the dark window.
    palette.setColor(QPalette::Button, kButtonFace);
    palette.setColor(QPalette::ButtonText, Qt::white);
    edit->setPalette(palette);
    return edit;
}

QCheckBox* TfrmSettings::CreateCheckBox(const char* name, QRect bounds) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(bounds.x(), bounds.y(), 21, bounds.height());
    return box;
}

QLabel* TfrmSettings::CreateLabel(const char* name, QRect bounds, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(bounds);
    label->setFont(pixelFont(15));
    return label;
}

void TfrmSettings::FormCreate() {
    // The dark look of the player's windows; the title bar itself belongs to
    // the window manager.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::Text, Qt::white);
    // Check boxes: a dark box, so the white check mark shows.
    palette.setColor(QPalette::Base, kBoxFace);
    setPalette(palette);
    setAutoFillBackground(true);
}

// ---- mirrored switches ---------------------------------------------------------------

void TfrmSettings::SetAutoSave(bool value) {
    FAutoSave = value;
    cbAutoSave->setChecked(value);
}

void TfrmSettings::SetAddOnDrop(bool value) {
    FAddOnDrop = value;
    cbAddOnDrop->setChecked(value);
}

void TfrmSettings::SetAddCL(bool value) {
    FAddCL = value;
    cbAddCL->setChecked(value);
}

void TfrmSettings::SetAddOnOpen(bool value) {
    FAddOnOpen = value;
    cbAddOnOpen->setChecked(value);
}

void TfrmSettings::cbAutoSaveClick() {
    FAutoSave = cbAutoSave->isChecked();
    // Keeping the last position as a marker needs the markers saved.
    if (!cbAutoSave->isChecked())
        SetAutoSaveLastPos(false);
}

void TfrmSettings::cbAutoSaveLastPosClick() {
    if (cbAutoSaveLastPos->isChecked())
        SetAutoSave(true);
}

void TfrmSettings::cbAddOnDropClick() { FAddOnDrop = cbAddOnDrop->isChecked(); }
void TfrmSettings::cbAddCLClick() { FAddCL = cbAddCL->isChecked(); }
void TfrmSettings::cbAddOnOpenClick() { FAddOnOpen = cbAddOnOpen->isChecked(); }

// ---- switches held in their boxes ------------------------------------------------------

bool TfrmSettings::LockMarkers() const { return cbLock->isChecked(); }
void TfrmSettings::SetLockMarkers(bool value) { cbLock->setChecked(value); }
bool TfrmSettings::AutoLoadLastList() const { return cbAutoLoad->isChecked(); }
void TfrmSettings::SetAutoLoadLastList(bool value) { cbAutoLoad->setChecked(value); }
bool TfrmSettings::AutoSaveList() const { return cbAutoSavePl->isChecked(); }
void TfrmSettings::SetAutoSaveList(bool value) { cbAutoSavePl->setChecked(value); }
bool TfrmSettings::AutoSaveLastPos() const { return cbAutoSaveLastPos->isChecked(); }
void TfrmSettings::SetAutoSaveLastPos(bool value) { cbAutoSaveLastPos->setChecked(value); }
bool TfrmSettings::ShowWaveform() const { return cbShowWaveform->isChecked(); }
void TfrmSettings::SetShowWaveform(bool value) { cbShowWaveform->setChecked(value); }
bool TfrmSettings::ShowMarkerNames() const { return cbShowMarkerNames->isChecked(); }
void TfrmSettings::SetShowMarkerNames(bool value) { cbShowMarkerNames->setChecked(value); }
bool TfrmSettings::NameMarkersOnAdd() const { return cbNameOnAdd->isChecked(); }
void TfrmSettings::SetNameMarkersOnAdd(bool value) { cbNameOnAdd->setChecked(value); }

// ---- integers held in their spin edits ---------------------------------------------------

int TfrmSettings::SpinEditNumber(const QSpinBox* edit) {
    bool ok = false;
    const int number = edit->cleanText().trimmed().toInt(&ok);
    return ok ? number : edit->minimum();
}

void TfrmSettings::SetSpinEditNumber(QSpinBox* edit, int value) {
    // setValue replaces the text (and fires valueChanged) only when it differs.
    edit->setValue(std::clamp(value, edit->minimum(), edit->maximum()));
}

int TfrmSettings::SeekTime() const { return SpinEditNumber(seSeekTime); }
void TfrmSettings::SetSeekTime(int value) { SetSpinEditNumber(seSeekTime, value); }
int TfrmSettings::MarkersFontSize() const { return SpinEditNumber(seMarkersFont); }
void TfrmSettings::SetMarkersFontSize(int value) { SetSpinEditNumber(seMarkersFont, value); }
int TfrmSettings::ListFontSize() const { return SpinEditNumber(seListFont); }
void TfrmSettings::SetListFontSize(int value) { SetSpinEditNumber(seListFont, value); }
int TfrmSettings::EditorFontSize() const { return SpinEditNumber(seEditorFont); }
void TfrmSettings::SetEditorFontSize(int value) { SetSpinEditNumber(seEditorFont, value); }

void TfrmSettings::seMarkersFontChange() { emit MarkersFontSizeChanged(MarkersFontSize()); }
void TfrmSettings::seListFontChange() { emit ListFontSizeChanged(ListFontSize()); }
void TfrmSettings::seEditorFontChange() { emit EditorFontSizeChanged(EditorFontSize()); }

// ---- showing and the buttons --------------------------------------------------------------

void TfrmSettings::ShowModalOver(QWidget* owner) {
    const QRect area = owner ? owner->frameGeometry()
                             : (QGuiApplication::primaryScreen()
                                    ? QGuiApplication::primaryScreen()->availableGeometry()
                                    : QRect(0, 0, width(), height()));
    move(area.center() - QPoint(width() / 2, height() / 2));
    // Kept above the window it was opened from (the playlist window or the
    // main window); a dialog without one may be placed behind it.
    QWidget* opener = QApplication::activeWindow() ? QApplication::activeWindow() : owner;
    if (opener && opener != this && opener->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(opener->windowHandle());
    }
    exec();
}

void TfrmSettings::btnCloseClick() { close(); }

void TfrmSettings::btnFilaTypesClick() { AssociateAudioFiles(QCoreApplication::applicationFilePath()); }

void TfrmSettings::btnWinSettingsClick() { OpenDefaultAppsPage(); }

void TfrmSettings::btnIniLocationClick() { ExploreFolder(GetConfigFolder()); }
