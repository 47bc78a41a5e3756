#pragma once
// The rows of the playlist: number, name and location texts, nothing else.
// The model is the playlist itself (no other container holds the entries).
// Numbers are fixed when a row is added and only renumbered by a drag
// reorder, so gaps and repeats after removals are expected.
// GUI thread only. Appending many rows at once is one insert notification,
// so a 100,000-line list loads without per-row cost in the view.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class PlaylistModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number = 0, Name = 1, Location = 2, ColumnCount = 3 };

    // A row keeps its location and number; the name column is derived from
    // the location when shown, so adding a row costs no text copies.
    struct Row {
        int number = 0;
        QString location;
        QString name() const;
        QString numberText() const { return QString::number(number); }
    };

    explicit PlaylistModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends one row numbered by its position; returns that position.
    int append(const QString& location);
    // Appends a row per location, in order, with one notification.
    void appendAll(const QStringList& locations);
    // Removes one row; the others keep their numbers.
    void removeAt(int row);
    void clear();
    // Moves the row at source to target, taken before removal: a target past
    // the end appends. Then every row is renumbered by its position. Returns
    // the row's new position.
    int moveRow(int source, int target);

    const Row& at(int row) const { return rows_.at(row); }
    QString location(int row) const { return rows_.at(row).location; }
    QStringList locations() const;
    bool isEmpty() const { return rows_.isEmpty(); }
    int count() const { return int(rows_.size()); }

private:
    static Row makeRow(int position, const QString& location);
    QList<Row> rows_;
};
