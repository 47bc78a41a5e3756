#include "timeline/MarkerListModel.h"

#include "timeline/TimeUtils.h"

MarkerListModel::MarkerListModel(QObject* parent) : QAbstractTableModel(parent) {}

void MarkerListModel::rebuild(const TMarkerList& markers) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(markers.size());
    int number = 1;
    for (const TMarker& m : markers)
        rows_.append({number++, m.Time, m.Description});
    endResetModel();
}

void MarkerListModel::clear() {
    if (rows_.isEmpty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void MarkerListModel::removeRowAt(int row) {
    if (row < 0 || row >= rows_.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.remove(row);
    endRemoveRows();
}

QString MarkerListModel::timeCode(int row) const {
    return SecondsToTimeStr(rows_.at(row).time, true);
}

void MarkerListModel::setDescription(int row, const QString& text) {
    if (row < 0 || row >= rows_.size())
        return;
    rows_[row].description = text;
    const QModelIndex cell = index(row, ColDescription);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

int MarkerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MarkerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MarkerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || role != Qt::DisplayRole)
        return {};
    const Row& row = rows_.at(index.row());
    switch (index.column()) {
    case ColNumber: return QString::number(row.number);
    case ColTimeCode: return SecondsToTimeStr(row.time, true);
    case ColDescription: return row.description;
    default: return {};
    }
}

QVariant MarkerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColNumber: return QStringLiteral("#");
    case ColTimeCode: return QStringLiteral("Time Code");
    case ColDescription: return QStringLiteral("Marker Description");
    default: return {};
    }
}
