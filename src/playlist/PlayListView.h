#pragma once
// The playlist window's list view. GUI thread only.

#include <QStringList>
#include <QTableView>

// The list view PList: report style, whole-row single selection, grid lines.
// Dragging a row starts a drag inside the list; drops of rows and of files
// from the file manager are handed to the window.
class TPlayListView final : public QTableView {
    Q_OBJECT
public:
    explicit TPlayListView(QWidget* parent);

signals:
    // A row of this list was dropped at pos (viewport coordinates).
    void RowDropped(QPoint pos);
    // Local files or folders dropped from outside, in the order given.
    void FilesDropped(const QStringList& paths);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool AcceptsDrag(const QDropEvent* event) const;
};
