#include "playlist/PlaylistModel.h"

#include "playlist/PlaylistPaths.h"

PlaylistModel::PlaylistModel(QObject* parent) : QAbstractTableModel(parent) {}

int PlaylistModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int PlaylistModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlaylistModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count() || role != Qt::DisplayRole)
        return {};
    const Row& row = rows_.at(index.row());
    switch (index.column()) {
    case Number: return row.numberText();
    case Name: return row.name();
    case Location: return row.location;
    default: return {};
    }
}

QVariant PlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Number: return QStringLiteral("#");
    case Name: return QStringLiteral("Name");
    case Location: return QStringLiteral("Location");
    default: return {};
    }
}

Qt::ItemFlags PlaylistModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Captions are not editable; rows can be dragged within the list.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QString PlaylistModel::Row::name() const { return ExtractFileName(location); }

PlaylistModel::Row PlaylistModel::makeRow(int position, const QString& location) {
    return Row{position, location};
}

int PlaylistModel::append(const QString& location) {
    const int position = count();
    beginInsertRows({}, position, position);
    rows_.append(makeRow(position, location));
    endInsertRows();
    return position;
}

void PlaylistModel::appendAll(const QStringList& locations) {
    if (locations.isEmpty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + int(locations.size()) - 1);
    rows_.reserve(first + locations.size());
    for (const QString& location : locations)
        rows_.append(makeRow(int(rows_.size()), location));
    endInsertRows();
}

void PlaylistModel::removeAt(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
}

void PlaylistModel::clear() {
    if (rows_.isEmpty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

int PlaylistModel::moveRow(int source, int target) {
    if (source < 0 || source >= count())
        return -1;
    const Row moved = rows_.at(source);
    removeAt(source);
    const int position = qBound(0, target, count());
    beginInsertRows({}, position, position);
    rows_.insert(position, moved);
    endInsertRows();
    for (int i = 0; i < count(); ++i)
        rows_[i].number = i;
    emit dataChanged(index(0, Number), index(count() - 1, Number));
    return position;
}

QStringList PlaylistModel::locations() const {
    QStringList result;
    result.reserve(rows_.size());
    for (const Row& row : rows_)
        result.append(row.location);
    return result;
}
