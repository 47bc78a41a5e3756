#include "playlist/uList.h"

#include "controls/ButtonImages.h"
#include "controls/uQrGbar.h"
#include "platform/TColor.h"
#include "settings/LangTexts.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Colours of the window (0x00BBGGRR as the program names them).
constexpr TColor kListText = 0xD1FEF3;
constexpr TColor kVolumeBar = 0xBBE6DE;

// A flat button with one of the player's button images.
QToolButton* MakeButton(QWidget* parent, const char* name, ButtonGlyph glyph, const QString& hint, int left) {
    return MakeFlatButton(parent, name, glyph, hint, QRect(left, 3, 32, 32));
}

QFrame* MakePanel(QWidget* parent, const char* name, QRect geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    return panel;
}

}  // namespace

void TfrmList::CreateControls() {
    Label1 = new QLabel(QStringLiteral("File Info:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(7, -2);
    Label1->setTextFormat(Qt::PlainText);
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, ToQColor(kListText));
    Label1->setPalette(labelPalette);

    gbIUv = new TQrGbar(this);
    gbIUv->setObjectName(QStringLiteral("gbIUv"));
    gbIUv->setGeometry(319, 42, 334, 6);
    gbIUv->SetBorder(true);
    gbIUv->SetBorderColor(clSilver);
    gbIUv->SetBarColor(clLime);
    gbIUv->SetBgColor(clBlack);
    gbIUv->SetSetByMouse(false);

    CreateListPanel();
    CreateTransportPanel();
    CreateVolumePanel();
    CreateList();
    CreatePopupMenu();
    PlaceAnchoredControls();
}

void TfrmList::CreateListPanel() {
    pnPlayList = MakePanel(this, "pnPlayList", QRect(4, 51, 229, 38));
    btnClear = MakeButton(pnPlayList, "btnClear", ButtonGlyph::ClearList, uLang::frmList_btnClear_hint, 4);
    btnLoad = MakeButton(pnPlayList, "btnLoad", ButtonGlyph::Open, uLang::frmList_btnLoad_hint, 39);
    btnSave = MakeButton(pnPlayList, "btnSave", ButtonGlyph::Save, uLang::frmList_btnSave_hint, 75);
    btnAddFile = MakeButton(pnPlayList, "btnAddFile", ButtonGlyph::AddToPlayList,
                            uLang::frmList_btnAddFile_hint, 111);
    btnAddFolder = MakeButton(pnPlayList, "btnAddFolder", ButtonGlyph::AddFolder,
                              uLang::frmList_btnAddFolder_hint, 147);
    btnRemove = MakeButton(pnPlayList, "btnRemove", ButtonGlyph::RemoveLine,
                           uLang::frmList_btnRemove_hint, 183);
    connect(btnClear, &QToolButton::clicked, this, &TfrmList::btnClearClick);
    connect(btnLoad, &QToolButton::clicked, this, &TfrmList::btnLoadClick);
    connect(btnSave, &QToolButton::clicked, this, &TfrmList::btnSaveClick);
    connect(btnAddFile, &QToolButton::clicked, this, &TfrmList::btnAddFileClick);
    connect(btnAddFolder, &QToolButton::clicked, this, &TfrmList::btnAddFolderClick);
    connect(btnRemove, &QToolButton::clicked, this, &TfrmList::btnRemoveClick);
}

void TfrmList::CreateTransportPanel() {
    Panel1 = MakePanel(this, "Panel1", QRect(236, 51, 417, 38));
    btnPlayFromList = MakeButton(Panel1, "btnPlayFromList", ButtonGlyph::Play,
                                 uLang::frmList_btnPlayFromList_hint, 1);
    btnPause = MakeButton(Panel1, "btnPause", ButtonGlyph::Pause, uLang::frmList_btnPause_hint, 39);
    btnStop = MakeButton(Panel1, "btnStop", ButtonGlyph::Stop, uLang::frmList_btnStop_hint, 75);
    btnPrevFile = MakeButton(Panel1, "btnPrevFile", ButtonGlyph::PreviousFile, uLang::frmList_btnPrevFile_hint, 116);
    btnNextFile = MakeButton(Panel1, "btnNextFile", ButtonGlyph::NextFile, uLang::frmList_btnNextFile_hint, 150);
    Label3 = new QLabel(QStringLiteral("A.Stop"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setToolTip(uLang::frmList_Label3_hint);
    Label3->move(190, 9);
    cbAutoStop = new QCheckBox(Panel1);
    cbAutoStop->setObjectName(QStringLiteral("cbAutoStop"));
    cbAutoStop->setToolTip(uLang::frmList_cbAutoStop_hint);
    cbAutoStop->setFocusPolicy(Qt::NoFocus);
    cbAutoStop->move(245, 10);
    SpeedButton1 = MakeButton(Panel1, "SpeedButton1", ButtonGlyph::Compact,
                              uLang::frmList_SpeedButton1_hint, 271);
    SpeedButton1->setText(QStringLiteral("Player"));
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton1->resize(92, 32);
    btnOptions = MakeButton(Panel1, "btnOptions", ButtonGlyph::Options, uLang::frmList_btnOptions_hint, 377);
    connect(btnPlayFromList, &QToolButton::clicked, this, &TfrmList::btnPlayFromListClick);
    connect(btnPause, &QToolButton::clicked, this, &TfrmList::btnPauseClick);
    connect(btnStop, &QToolButton::clicked, this, &TfrmList::btnStopClick);
    connect(btnPrevFile, &QToolButton::clicked, this, &TfrmList::btnPrevFileClick);
    connect(btnNextFile, &QToolButton::clicked, this, &TfrmList::btnNextFileClick);
    connect(cbAutoStop, &QCheckBox::toggled, this, &TfrmList::cbAutoStopClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmList::SpeedButton1Click);
    connect(btnOptions, &QToolButton::clicked, this, &TfrmList::btnOptionsClick);
}

void TfrmList::CreateVolumePanel() {
    pnVolume = MakePanel(this, "pnVolume", QRect(663, 7, 15, 82));
    auto* layout = new QVBoxLayout(pnVolume);
    layout->setContentsMargins(0, 0, 0, 0);
    tbVolume = new TQrGbar(pnVolume);
    tbVolume->setObjectName(QStringLiteral("tbVolume"));
    tbVolume->SetDirection(gbdVertical);
    tbVolume->SetBorder(true);
    tbVolume->SetBorderColor(clSilver);
    tbVolume->SetBarColor(kVolumeBar);
    tbVolume->SetBgColor(clDarkBackground);
    tbVolume->SetMax(100);
    tbVolume->SetValue(100);
    tbVolume->setCursor(Qt::PointingHandCursor);
    tbVolume->setToolTip(uLang::frmList_tbVolume_hint);
    layout->addWidget(tbVolume);  // always fills its panel
    // Connected after the design value so building the window fires nothing.
    connect(tbVolume, &TQrGbar::OnChange, this, [this](TQrGbar*) { tbVolumeChange(); });
}

void TfrmList::CreateList() {
    PList = new TPlayListView(this);
    PList->setObjectName(QStringLiteral("PList"));
    PList->setModel(&FPlaylist.model());
    PList->setColumnWidth(PlaylistModel::Number, 50);
    PList->setColumnWidth(PlaylistModel::Name, 350);
    PList->setColumnWidth(PlaylistModel::Location, 400);
    QPalette palette = PList->palette();
    palette.setColor(QPalette::Base, ToQColor(clDarkBackground));
    palette.setColor(QPalette::Text, ToQColor(kListText));
    // The selection stays visible while the list has no focus.
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    PList->setPalette(palette);
    QFont listFont = PList->font();
    listFont.setPixelSize(15);
    PList->setFont(listFont);
    PList->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
    PList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PList, &QWidget::customContextMenuRequested, this,
            [this](QPoint pos) { PopupMenu1->popup(PList->viewport()->mapToGlobal(pos)); });
    connect(PList, &QAbstractItemView::doubleClicked, this, [this] { btnPlayFromListClick(); });
    connect(PList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmList::OnSelectionChanged);
    connect(PList, &TPlayListView::RowDropped, this, &TfrmList::PListDragDrop);
    connect(PList, &TPlayListView::FilesDropped, this, &TfrmList::WMDropFiles);
}

void TfrmList::CreatePopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](const char* name, const QString& caption, void (TfrmList::*handler)()) {
        QAction* action = PopupMenu1->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    miPlayCurrent = add("miPlayCurrent", uLang::miPlayCurrent_caption, &TfrmList::btnPlayFromListClick);
    PopupMenu1->addSeparator();
    miAddFile = add("miAddFile", uLang::miAddFile_caption, &TfrmList::btnAddFileClick);
    miAddFolder = add("miAddFolder", uLang::miAddFolder_caption, &TfrmList::btnAddFolderClick);
    PopupMenu1->addSeparator();
    miOpen = add("miOpen", uLang::miOpen_caption, &TfrmList::btnLoadClick);
    miSave = add("miSave", uLang::miSave_caption, &TfrmList::btnSaveClick);
    PopupMenu1->addSeparator();
    miDeleteLine = add("miDeleteLine", uLang::miDeleteLine_caption, &TfrmList::btnRemoveClick);
    miClear = add("miClear", uLang::miClear_caption, &TfrmList::btnClearClick);
    PopupMenu1->addSeparator();
    miBrows = add("miBrows", QStringLiteral("Browse File's Folder..."), &TfrmList::miBrowsClick);
    PopupMenu1->addSeparator();
    Settings1 = add("Settings1", uLang::miSettings_caption, &TfrmList::btnOptionsClick);
}

void TfrmList::PlaceAnchoredControls() {
    if (!PList)
        return;
    // PList keeps its design distances to all four edges; pnVolume and the
    // button panels keep theirs to the top, pnVolume also to the right.
    PList->setGeometry(4, 94, qMax(0, width() - (DesignWidth - 677)), qMax(0, height() - 94));
    pnVolume->move(width() - (DesignWidth - 663), 7);
}

void TfrmList::SetCaption() {
    setWindowTitle(QStringLiteral("PlayList: ") + FPlaylist.listFilename());
}

void TfrmList::SetListFontSize(int points) {
    QFont listFont = PList->font();
    listFont.setPointSize(points);
    PList->setFont(listFont);
    PList->verticalHeader()->setDefaultSectionSize(QFontMetrics(listFont).height() + 4);
}
