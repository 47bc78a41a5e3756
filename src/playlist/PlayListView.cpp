#include "playlist/PlayListView.h"

#include "platform/FileHelpers.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

namespace {

// The mime type of a row dragged inside the list.
const char* const kRowMime = "application/x-velmo-playlist-row";

}  // namespace

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
