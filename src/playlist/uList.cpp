#include "playlist/uList.h"

#include "controls/ButtonImages.h"
#include "controls/DarkLook.h"
#include "controls/uQrGbar.h"
#include "platform/AppError.h"
#include "platform/FileHelpers.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "platform/TColor.h"
#include "playlist/FolderScan.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistPaths.h"
#include "playlist/QrtDialogs.h"
#include "settings/LangTexts.h"
#include "timeline/TimeUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

TfrmList* g_frmList = nullptr;
std::function<void()> g_listMaker;
TfrmList::TFileFactsReader g_factsReader;
std::optional<int> g_factsWaitMs;  // set: facts are read off the GUI thread

// The two lines of the facts of FileName as `reader` reads them.
QString FactsText(const TfrmList::TFileFactsReader& reader, const QString& FileName) {
    TfrmList::TFileFacts info;
    if (!reader || !reader(FileName, info))
        return QStringLiteral("NO FILE INFO");
    // The two lines are separated by a lone CR, as the label shows them.
    return info.FileName + " | " + info.FileSizeTxt + " | Duration: " + SecondsToTimeStr(info.DurationSec, true) +
           " | SampleRate: " + QString::number(info.SampleRate) + '\r' + "Channels: " +
           QString::number(info.Channels) + " | Bitrate: " + QString::number(info.BitsPerSample) +
           " | Format: " + info.Format;
}

// Colours of the window (0x00BBGGRR as the program names them).
constexpr TColor kListText = 0xD1FEF3;
constexpr TColor kVolumeBar = 0xBBE6DE;

// The mime type of a row dragged inside the list.
const char* const kRowMime = "application/x-velmo-playlist-row";

// Fixed texts of the window's messages and questions.
const char* const kSelectToPlay = "Please Select List Line to Play!";
const char* const kSelectToDelete = "Please Select List Line to Delete!";
const char* const kErrorOpen = "Error Open PlayList";
const char* const kConfirmClear = "Are You Sure to Cler the List?";
const char* const kConfirmRemove = "Are you Sure?";
const char* const kPickFolderTitle = "Select Folder For Audio Files Search";

// Shows the busy cursor for its lifetime, also when an error leaves early.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

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

TfrmList* frmList() {
    if (!g_frmList && g_listMaker)
        g_listMaker();
    return g_frmList;
}

TfrmList* frmListIfMade() { return g_frmList; }

void SetListWindowMaker(std::function<void()> maker) { g_listMaker = std::move(maker); }

// ---- the list view -----------------------------------------------------------

TPlayListView::TPlayListView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // Every row has the same height, so the view never measures rows: the
    // cost of a repaint does not grow with the number of rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
}

void TPlayListView::startDrag(Qt::DropActions) {
    // A row drag is only a note that a row of this list moves; the window
    // does the move on the drop. Nothing is removed when the drag ends.
    if (!selectionModel() || !selectionModel()->hasSelection())
        return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kRowMime), QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

bool TPlayListView::AcceptsDrag(const QDropEvent* event) const {
    if (event->mimeData()->hasFormat(QString::fromLatin1(kRowMime)))
        return event->source() == this && selectionModel()->hasSelection();
    return !DroppedLocalPaths(event->mimeData()).isEmpty();
}

void TPlayListView::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPlayListView::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TPlayListView::dropEvent(QDropEvent* event) {
    if (!AcceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (event->mimeData()->hasFormat(QString::fromLatin1(kRowMime)))
        emit RowDropped(event->position().toPoint());
    else
        emit FilesDropped(DroppedLocalPaths(event->mimeData()));
}

// ---- creation ----------------------------------------------------------------

TfrmList::TfrmList(QWidget* parent) : QWidget(parent, Qt::Window), FFactsRead(this) {
    g_frmList = this;
    setObjectName(QStringLiteral("frmList"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    // The player's main window decides when the program ends, never this one.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAcceptDrops(true);
    setMinimumSize(MinWidth, MinHeight);
    resize(MinWidth, DesignHeight);

    // The player's dark look, so the list's header, scroll bars and check
    // box are dark as well.
    QPalette palette = DarkPalette();
    palette.setColor(QPalette::Window, ToQColor(clDarkBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(WindowFont());

    CreateControls();
    SetCaption();
}

TfrmList::~TfrmList() {
    if (g_frmList == this)
        g_frmList = nullptr;
}

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

void TfrmList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceAnchoredControls();
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

// ---- show, close, wheel, drops ----------------------------------------------------

void TfrmList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FPlayer.Volume)
        tbVolume->SetValue(FPlayer.Volume());
}

void TfrmList::closeEvent(QCloseEvent* event) {
    // The window lives for the whole run: closing only hides it.
    event->ignore();
    hide();
}

bool TfrmList::FormMouseWheel(int WheelDelta, QPoint MousePos) {
    const QPoint local = tbVolume->mapFromGlobal(MousePos);
    if (local.x() < 0 || local.x() > tbVolume->width() || local.y() < 0 || local.y() > tbVolume->height())
        return false;
    tbVolume->SetValue(tbVolume->Value() + (WheelDelta > 0 ? 2 : -2));
    return true;
}

void TfrmList::wheelEvent(QWheelEvent* event) {
    if (FormMouseWheel(event->angleDelta().y(), event->globalPosition().toPoint()))
        event->accept();
    else
        event->ignore();
}

void TfrmList::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedLocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TfrmList::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedLocalPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    WMDropFiles(paths);
}

void TfrmList::WMDropFiles(const QStringList& paths) {
    if (paths.size() == 1 && QFileInfo(paths.first()).isDir()) {
        AddFolderToList(paths.first());
        return;
    }
    for (const QString& path : paths)
        if (HasAcceptedExtension(path, PlaylistExtensions()) && !QFileInfo(path).isDir())
            AddFileToList(path, true);
}

// ---- selection ---------------------------------------------------------------

int TfrmList::SelectedRow() const {
    const QModelIndexList rows = PList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString TfrmList::GetSelectedFileName() const {
    const int row = SelectedRow();
    return row < 0 ? QString() : FPlaylist.model().location(row);
}

void TfrmList::SelectRow(int row, bool focus) {
    if (row < 0 || row >= FPlaylist.count())
        return;
    const QModelIndex index = FPlaylist.model().index(row, 0);
    PList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    PList->scrollTo(index, QAbstractItemView::EnsureVisible);
    if (focus)
        PList->setFocus();
}

void TfrmList::SelectLastRowAndFocus() {
    if (!FPlaylist.isEmpty())
        SelectRow(FPlaylist.count() - 1, true);
}

void TfrmList::OnSelectionChanged() {
    const int row = SelectedRow();
    if (row >= 0 && !FPlaylist.isEmpty())
        DisplayFileInfo(FPlaylist.model().location(row));
}

void TfrmList::SetFileFactsReader(TFileFactsReader Reader, std::optional<int> WaitMs) {
    g_factsReader = std::move(Reader);
    g_factsWaitMs = WaitMs;
}

QString TfrmList::FileInfoText(const QString& FileName) { return FactsText(g_factsReader, FileName); }

void TfrmList::DisplayFileInfo(const QString& FileName) {
    if (!g_factsWaitMs) {
        FFactsRead.cancel();
        ShowFileInfoText(FileInfoText(FileName));
        return;
    }
    auto read = [FileName, reader = g_factsReader] { return FactsText(reader, FileName); };
    if (!FFactsRead.start(read, [this](const QString& text) { ShowFileInfoText(text); }, *g_factsWaitMs))
        ShowFileInfoText(QString());
}

void TfrmList::ShowFileInfoText(const QString& text) {
    // A label breaks its lines at LF only; the lone CR becomes one here.
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(shown);
    Label1->adjustSize();
}

void TfrmList::UpdatePlayPause() {}

// ---- the playlist's operations ------------------------------------------------

void TfrmList::AddFileToList(const QString& FileName, bool FocusList) {
    const int row = FPlaylist.addFile(FileName);
    if (FocusList)
        SelectRow(row, true);
}

void TfrmList::AddFolderToList(const QString& Folder) {
    QStringList found;
    {
        BusyCursor busy;
        QCoreApplication::processEvents();
        found = ScanFolder(Folder);  // an error leaves here, after the cursor
    }
    if (found.isEmpty())
        return;
    QStringList accepted;
    for (const QString& path : found)
        if (HasAcceptedExtension(path, PlaylistExtensions()))
            accepted << path;
    {
        BusyCursor busy;
        FPlaylist.addFiles(accepted);
    }
    SelectLastRowAndFocus();
    FPlaylist.setScannedFolder(Folder);
}

void TfrmList::PlayFile(const QString& FileName) {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.LoadAudioFile)
        FPlayer.LoadAudioFile(FileName);
    if (FPlayer.Play_Pause)
        FPlayer.Play_Pause();
}

void TfrmList::PlayNext() {
    const int row = FPlaylist.stepNext();
    if (row < 0)
        return;
    SelectRow(row, false);
    PlayFile(GetSelectedFileName());
}

void TfrmList::PlayPrev() {
    const int row = FPlaylist.stepPrev();
    if (row < 0)
        return;
    SelectRow(row, false);
    PlayFile(GetSelectedFileName());
}

bool TfrmList::LoadListBg(const QString& Filename) {
    if (!QFileInfo::exists(Filename))
        return false;
    QStringList lines;
    {
        BusyCursor busy;
        try {
            lines = ReadPlaylistFile(Filename);
        } catch (const AppError&) {
            return false;
        }
        if (FPlaylist.takeLines(lines, Filename))
            SetCaption();
    }
    if (!FPlaylist.isEmpty()) {
        PList->scrollToTop();
        SelectRow(0, false);
    }
    return true;
}

void TfrmList::SaveListBg(const QString& Filename) { FPlaylist.save(Filename); }

// ---- commands ------------------------------------------------------------------

void TfrmList::btnClearClick() {
    if (FPlaylist.isEmpty())
        return;
    if (!prompts().confirmOkCancel(QString::fromLatin1(kConfirmClear)))
        return;
    FPlaylist.clear();
}

void TfrmList::btnRemoveClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0) {
        prompts().message(QString::fromLatin1(kSelectToDelete));
        return;
    }
    if (!prompts().confirmYesNo(QString::fromLatin1(kConfirmRemove)))
        return;
    FPlaylist.removeRow(row);
}

void TfrmList::btnPlayFromListClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0) {
        prompts().message(QString::fromLatin1(kSelectToPlay));
        return;
    }
    FPlaylist.setCurrentIndex(row);
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayFile(FPlaylist.model().location(row));
}

void TfrmList::btnPauseClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.Play_Pause)
        FPlayer.Play_Pause();
    UpdatePlayPause();
}

void TfrmList::btnStopClick() {
    if (FPlayer.Stop)
        FPlayer.Stop();
}

void TfrmList::btnPrevFileClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayPrev();
}

void TfrmList::btnNextFileClick() {
    if (FPlaylist.isEmpty())
        return;
    if (FPlayer.SaveMarkersIfAutoSave)
        FPlayer.SaveMarkersIfAutoSave();
    PlayNext();
}

void TfrmList::cbAutoStopClick() {
    if (FPlayer.SetAutoStop)
        FPlayer.SetAutoStop(cbAutoStop->isChecked());
}

void TfrmList::SpeedButton1Click() {
    if (FPlayer.ShowPlayer)
        FPlayer.ShowPlayer();
}

void TfrmList::btnOptionsClick() {
    if (FPlayer.ShowSettings)
        FPlayer.ShowSettings();
}

void TfrmList::miBrowsClick() {
    if (FPlaylist.isEmpty())
        return;
    const int row = SelectedRow();
    if (row < 0)
        return;
    ExploreFolder(ExtractFilePath(FPlaylist.model().location(row)));
}

QStringList TfrmList::AddFilesFilters() {
    return {
        QStringLiteral("MP3 Files (*.mp3)"),
        QStringLiteral("WAV Files (*.wav)"),
        QStringLiteral("WMA Files (*.wma)"),
        QStringLiteral("OGG Files (*.ogg)"),
        QStringLiteral("MP4 Files (*.mp4)"),
        QStringLiteral("MOV Files (*.mov)"),
        QStringLiteral("All Supported Files (*.mp3 *.wav *.wma *.ogg *.mp4 *.mov)"),
        QStringLiteral("All Files (*)"),
    };
}

void TfrmList::btnAddFileClick() {
    Prompts::FileDialog dialog;
    dialog.filters = AddFilesFilters();
    dialog.filterIndex = AddFilesFilterIndex;
    dialog.directory = FPlaylist.lastAddDir();
    dialog.multiSelect = true;
    const QStringList chosen = prompts().openFiles(dialog);
    for (const QString& file : chosen)
        AddFileToList(file, false);
    activateWindow();
    if (!chosen.isEmpty())
        SelectLastRowAndFocus();
}

void TfrmList::btnAddFolderClick() {
    const QString folder = PickFolder(QString::fromLatin1(kPickFolderTitle), FPlaylist.lastAddDir());
    if (!folder.isEmpty())
        AddFolderToList(folder);
}

void TfrmList::btnLoadClick() {
    Prompts::FileDialog dialog;
    dialog.filters = {QStringLiteral("Play List Files (*.vpl)")};
    dialog.directory = FPlaylist.lastOpenDir();
    dialog.multiSelect = true;
    const QStringList chosen = prompts().openFiles(dialog);
    if (chosen.isEmpty()) {
        activateWindow();
        return;
    }
    OpenListFile(chosen.first());
}

void TfrmList::OpenListFile(const QString& fileName) {
    bool read = true;
    bool listed = false;
    {
        BusyCursor busy;
        try {
            listed = FPlaylist.takeLines(ReadPlaylistFile(fileName), fileName);
        } catch (const AppError&) {
            read = false;  // the list stays as it was
        }
    }
    if (!read) {
        prompts().message(QString::fromLatin1(kErrorOpen));
        return;
    }
    if (!listed)
        return;
    SetCaption();
    PList->scrollToTop();
    SelectRow(0, false);
    activateWindow();
    PList->setFocus();
    FPlaylist.setLastOpenDir(ExtractFilePath(fileName));
}

void TfrmList::btnSaveClick() {
    if (FPlaylist.isEmpty())
        return;
    Prompts::FileDialog dialog;
    dialog.filters = {QStringLiteral("Play List Files (*.vpl)")};
    dialog.fileName = FPlaylist.listFilename();
    dialog.defaultSuffix = QStringLiteral("vpl");
    dialog.confirmOverwrite = true;
    const QString chosen = prompts().saveFile(dialog);
    if (!chosen.isEmpty())
        FPlaylist.save(chosen);
    activateWindow();
}

void TfrmList::PListDragDrop(QPoint pos) {
    const int source = SelectedRow();
    if (source < 0)
        return;
    const QModelIndex under = PList->indexAt(pos);
    const int target = under.isValid() ? under.row() : FPlaylist.count();
    const int landed = FPlaylist.moveRow(source, target);
    SelectRow(landed, false);
}

void TfrmList::tbVolumeChange() {
    if (FPlayer.SetVolumeBar)
        FPlayer.SetVolumeBar(tbVolume->Value());
}
