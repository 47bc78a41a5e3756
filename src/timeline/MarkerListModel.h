#pragma once
// The rows of the marker list view lvMarkers: "#", "Time Code" and "Marker
// Description". The rows are a copy of the marker list taken at the last
// rebuild, not a live view of it: deleting a row leaves the other rows'
// numbers as they were, and editing a row's description changes the row
// itself. rebuild() is one model reset and copies the markers; time texts are
// made only for the rows drawn, so 10,000 markers cost one cheap pass.
// GUI thread only.

#include "timeline/TMarker.h"

#include <QAbstractTableModel>
#include <QVector>

class MarkerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColNumber = 0, ColTimeCode, ColDescription, ColumnCount };

    explicit MarkerListModel(QObject* parent = nullptr);

    // One row per marker in list order: its position counting from 1, the
    // long time text of its time and its description.
    void rebuild(const TMarkerList& markers);
    void clear();
    // Removes one row; the rows below keep their numbers.
    void removeRowAt(int row);

    // The long time text of the row's time, as the "Time Code" column shows it.
    QString timeCode(int row) const;
    QString description(int row) const { return rows_.at(row).description; }
    void setDescription(int row, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        int number;
        double time;  // its text is made when a cell is drawn, not at rebuild
        QString description;
    };
    QVector<Row> rows_;
};
