// TForm1: undo and redo of marker changes, their items in the marker list's
// menu and their keys.

#include "mainwindow/uMain.h"

#include "controls/StyleImages.h"
#include "settings/LangTexts.h"
#include "timeline/uTimeline.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QStyle>

namespace {
// "Undo Add Marker"; the bare caption when there is no step.
QString itemCaption(const QString& caption, const QString& step) {
    return step.isEmpty() ? caption : caption + QLatin1Char(' ') + step;
}
}  // namespace

void TForm1::CreateUndoItems() {
    pmMarkers->addSeparator();
    miUndoMarkers = pmMarkers->addAction(StyleImage(QStyle::SP_ArrowBack), uLang::miUndoMarkers_caption);
    miUndoMarkers->setObjectName(QStringLiteral("miUndoMarkers"));
    miUndoMarkers->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    miRedoMarkers = pmMarkers->addAction(StyleImage(QStyle::SP_ArrowForward), uLang::miRedoMarkers_caption);
    miRedoMarkers->setObjectName(QStringLiteral("miRedoMarkers"));
    miRedoMarkers->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The keys work anywhere in this window, not only while the menu is open.
    for (QAction* item : {miUndoMarkers, miRedoMarkers}) {
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
    }
    connect(miUndoMarkers, &QAction::triggered, this, [this] { miUndoMarkersClick(); });
    connect(miRedoMarkers, &QAction::triggered, this, [this] { miRedoMarkersClick(); });
    // The captions follow the language file, read after the menu was made.
    connect(pmMarkers, &QMenu::aboutToShow, this, [this] { UpdateUndoItems(); });
    UpdateUndoItems();
}

void TForm1::UpdateUndoItems() {
    if (!miUndoMarkers)
        return;
    miUndoMarkers->setEnabled(FMarkerHistory.canUndo());
    miUndoMarkers->setText(itemCaption(uLang::miUndoMarkers_caption, FMarkerHistory.undoLabel()));
    miRedoMarkers->setEnabled(FMarkerHistory.canRedo());
    miRedoMarkers->setText(itemCaption(uLang::miRedoMarkers_caption, FMarkerHistory.redoLabel()));
}

void TForm1::RecordMarkerChange(const QString& label) {
    FMarkerHistory.record(FMarkers, label);
    UpdateUndoItems();
    CheckLoopMarkers();
    // Descriptions drawn on the timeline change without a marker moving,
    // which the tick would not notice.
    if (PaintBox1)
        PaintBox1->update();
}

void TForm1::ReplaceAllMarkers(const TMarkerList& markers, const QString& label) {
    EndMarkerDrag();
    FMarkers = markers;
    RefreshMarkerList();
    if (FMarkerHistory.replaceAll(FMarkers, label))
        SetMarkersChanged(true);
    UpdateUndoItems();
    CheckLoopMarkers();
    if (PaintBox1)
        PaintBox1->update();
}

void TForm1::miUndoMarkersClick() {
    if (!FMarkerHistory.canUndo())
        return;
    EndMarkerDrag();
    ShowMarkerHistoryStep(FMarkerHistory.undo());
}

void TForm1::miRedoMarkersClick() {
    if (!FMarkerHistory.canRedo())
        return;
    EndMarkerDrag();
    ShowMarkerHistoryStep(FMarkerHistory.redo());
}

void TForm1::ShowMarkerHistoryStep(const TMarkerList& markers) {
    FMarkers = markers;
    RefreshMarkerList();
    SetMarkersChanged(!FMarkerHistory.isSaved());
    UpdateUndoItems();
    CheckLoopMarkers();
    if (PaintBox1)
        PaintBox1->update();
}
