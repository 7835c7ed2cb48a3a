#pragma once
// The collection viewer's outline as a tree model: each collection a node
// with its name in the "Collection" column, its anthems as children with
// their titles in the "Anthems" column. The ids stay out of sight, read
// through IdRole or the accessors. The outline is replaced whole in one
// reset, so ten thousand collections with their anthems fill at once.

#include "CollectionSelection.h"

#include <QAbstractItemModel>

class CollectionGridModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { CollectionColumn, AnthemColumn, ColumnCount };
    // The collectionid of a node, the anthemid of a child.
    static constexpr int IdRole = Qt::UserRole + 1;

    explicit CollectionGridModel(QObject *parent = nullptr);

    void setOutline(CollectionOutline outline);
    void clear();
    const CollectionOutline &outline() const { return m_outline; }

    // A collection's node (column 0) by its place in the outline.
    QModelIndex collectionIndex(int row, int column = CollectionColumn) const;
    bool isCollection(const QModelIndex &index) const;
    bool isAnthem(const QModelIndex &index) const;
    // The collectionid of a node, else 0; the anthemid of a child, else 0.
    qint32 collectionId(const QModelIndex &index) const;
    qint32 anthemId(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const CollectionAnthem *anthemAt(const QModelIndex &index) const;

    CollectionOutline m_outline;
};
