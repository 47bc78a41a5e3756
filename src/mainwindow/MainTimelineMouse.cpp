// TForm1's mouse on the timeline: seek by click, drag markers, the lock and
// the timeline menu.

#include "mainwindow/uMain.h"

#include "controls/StyleImages.h"
#include "platform/Prompts.h"
#include "settings/LangTexts.h"
#include "settings/uSettings.h"
#include "timeline/MarkerModel.h"
#include "timeline/TimelineGeometry.h"
#include "timeline/uTimeline.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>

#include <algorithm>
#include <utility>

void TForm1::CreateTimelineMenu() {
    pmTimeline = new QMenu(this);
    pmTimeline->setObjectName(QStringLiteral("pmTimeline"));
    // The images the marker list's menu shows for the same commands.
    auto item = [this](const char* name, const QString& caption, QStyle::StandardPixmap image) {
        QAction* action = pmTimeline->addAction(StyleImage(image), caption);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(false);  // enabled by the owner of its command
        return action;
    };
    auto separator = [this](const char* name) {
        QAction* action = pmTimeline->addSeparator();
        action->setObjectName(QLatin1String(name));
        return action;
    };
    DropMarkerPlayPosition1 =
        item("DropMarkerPlayPosition1", uLang::DropMarkerPlayPosition1_caption, QStyle::SP_ArrowRight);
    miDeleteMarkerTL = item("miDeleteMarkerTL", uLang::miDeleteMarkerTL_caption, QStyle::SP_DialogDiscardButton);
    // The lock shows its check mark instead of an image.
    miLock = pmTimeline->addAction(uLang::miLock_caption);
    miLock->setObjectName(QStringLiteral("miLock"));
    miLock->setCheckable(true);
    miLock->setEnabled(true);
    connect(miLock, &QAction::triggered, this, &TForm1::miLockClick);
    N4 = separator("N4");
    miFileInfo = item("miFileInfo", uLang::miFileInfo_caption, QStyle::SP_FileDialogInfoView);
    N1 = separator("N1");
    miSettings = item("miSettings", uLang::miSettings_caption, QStyle::SP_FileDialogContentsView);
    N2 = separator("N2");
    miDeleteAllMarkers =
        item("miDeleteAllMarkers", uLang::miDeleteAllMarkers_caption, QStyle::SP_TrashIcon);
    AddMarkerExchangeItems(pmTimeline);
    // The check mark shows the lock as it is now, also after the settings
    // window changed it.
    connect(pmTimeline, &QMenu::aboutToShow, this, [this] { miLock->setChecked(LockMarkers); });

    ScrollBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ScrollBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        // The menu takes the mouse, so a drag in progress would never see
        // its release.
        EndMarkerDrag();
        pmTimeline->popup(ScrollBox1->mapToGlobal(pos));
    });
}

void TForm1::miLockClick() {
    LockMarkers = !LockMarkers;
    miLock->setChecked(LockMarkers);
    // The settings window shows and keeps the same lock.
    if (TfrmSettings* settings = frmSettings())
        settings->SetLockMarkers(LockMarkers);
}

bool TForm1::FindClosestMarkerAtPixel(int X, int& MarkerIndex) const {
    return FindClosestMarker(FMarkers, X / FZoomFactor, MarkerClickToleranceSec, MarkerIndex);
}

// The view scrolls under a still pointer (auto-scroll while playing): pixels
// of the view, not of the picture, tell whether the user moved the mouse.
QPoint TForm1::ViewPointOf(int X, int Y) const {
    return {static_cast<int>(X - ScrollBox1->horzPosition()), Y};
}

// The held marker keeps its offset from the pointer: it moves by the
// pointer's displacement over the picture since the press.
double TForm1::HeldMarkerTime() const {
    const double pointerTime = (FDragPointerView.x() + ScrollBox1->horzPosition()) / FZoomFactor;
    return std::clamp(FDragStartTime + pointerTime - FDragPressTime, 0.0, std::max(0.0, FDuration));
}

void TForm1::FollowPointerWithHeldMarker() {
    if (!FDragging || FDraggingMarkerIndex < 0 || FDraggingMarkerIndex >= FMarkers.size())
        return;
    FMarkers[FDraggingMarkerIndex].Time = HeldMarkerTime();
    PaintBox1->update();
}

void TForm1::PaintBox1MouseDown(Qt::MouseButton Button, Qt::MouseButtons Shift, int X, int Y) {
    if (!TimelineLoaded() || Button != Qt::LeftButton)
        return;
    int index = -1;
    if (!LockMarkers && FindClosestMarkerAtPixel(X, index)) {
        if (Shift & Qt::LeftButton) {
            FDraggingMarkerIndex = index;
            FDragging = false;
            FDragStartTime = FMarkers[index].Time;
            FDragPressTime = X / FZoomFactor;
            FDragPressView = FDragPointerView = ViewPointOf(X, Y);
        }
        return;
    }
    TimelineSeek(PointerTimeAt(X, FZoomFactor, FDuration));
}

void TForm1::PaintBox1MouseMove(Qt::MouseButtons Shift, int X, int Y) {
    if (LockMarkers)
        return;
    // A drag whose release went elsewhere (a window took the mouse) must not
    // carry the marker along with a pointer that no longer holds it.
    if (FDraggingMarkerIndex >= 0 && !(Shift & Qt::LeftButton))
        EndMarkerDrag();
    int index = -1;
    if (FindClosestMarkerAtPixel(X, index)) {
        PaintBox1->setCursor(Qt::PointingHandCursor);
        SelectMarkerRow(index);
    } else {
        PaintBox1->setCursor(Qt::ArrowCursor);
    }
    // The list is sorted again at the drop.
    if (FDraggingMarkerIndex < 0)
        return;
    FDragPointerView = ViewPointOf(X, Y);
    if ((FDragPointerView - FDragPressView).manhattanLength() >= QApplication::startDragDistance())
        FDragging = true;
    FollowPointerWithHeldMarker();
}

void TForm1::EndMarkerDrag() {
    if (FDraggingMarkerIndex >= 0 && FDraggingMarkerIndex < FMarkers.size())
        FMarkers[FDraggingMarkerIndex].Time = FDragStartTime;
    FDraggingMarkerIndex = -1;
    FDragging = false;
}

void TForm1::PaintBox1MouseUp(Qt::MouseButton Button, Qt::MouseButtons /*Shift*/, int X, int Y) {
    if (Button != Qt::LeftButton || FDraggingMarkerIndex < 0)
        return;
    const int index = std::exchange(FDraggingMarkerIndex, -1);
    // A press and release in place is a click: the marker stays, the play
    // position goes to the clicked time.
    if (!std::exchange(FDragging, false)) {
        if (TimelineLoaded())
            TimelineSeek(PointerTimeAt(X, FZoomFactor, FDuration));
        return;
    }
    FDragPointerView = ViewPointOf(X, Y);
    const double t = HeldMarkerTime();
    // The list may have changed under the drag (a key deleted markers).
    if (index < FMarkers.size()) {
        if (MarkerExistsAt(FMarkers, t, index)) {
            // Refused: the marker goes back to where the drag took it from,
            // so no two markers end up at one time.
            FMarkers[index].Time = FDragStartTime;
            prompts().message(uLang::Form1_PlaceMarkerError_msg);
        } else {
            FMarkers[index].Time = t;
            FollowLoopMarkerMove(FDragStartTime, t);
        }
        RebuildMarkerView();
    }
    if (TimelineLoaded())
        TimelineSeek(t);
    SetMarkersChanged(true);
    // The whole drag is one step; a refused drop records nothing.
    RecordMarkerChange(uLang::undo_move_marker);
}
