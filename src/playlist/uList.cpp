#include "playlist/uList.h"

#include "controls/DarkLook.h"
#include "controls/uQrGbar.h"
#include "platform/AudioExtensions.h"
#include "platform/FileHelpers.h"
#include "platform/TColor.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QWheelEvent>

namespace {

TfrmList* g_frmList = nullptr;
std::function<void()> g_listMaker;

}  // namespace

TfrmList* frmList() {
    if (!g_frmList && g_listMaker)
        g_listMaker();
    return g_frmList;
}

TfrmList* frmListIfMade() { return g_frmList; }

void SetListWindowMaker(std::function<void()> maker) { g_listMaker = std::move(maker); }

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

// ---- show, close, resize, wheel, drops ---------------------------------------------

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

void TfrmList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceAnchoredControls();
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
