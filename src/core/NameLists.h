#pragma once
// Long lists of records by name for the record editors: the name list
// ("List_Combo") and choice lists such as the anthem editor's collection
// list, each item standing for a record id.

#include <QAbstractListModel>
#include <QComboBox>
#include <QStringList>
#include <QVector>
#include <functional>

// The items of a long list (thousands of names) with the id each stands
// for; set whole, so a list is rebuilt in one step.
class NameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(QStringList texts, QVector<qint32> ids);
    qint32 idAt(int row) const { return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0; }
    // The first row standing for the id; -1 when none does.
    int rowOfId(qint32 id) const { return int(m_ids.indexOf(id)); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QStringList m_texts;
    QVector<qint32> m_ids;
};

// A combo box that never measures its thousands of items to size itself.
void configureLongList(QComboBox *combo);

// A choice of one record by name: the names in the order given, then a
// blank item " " that stands for none (id 0). beforePopup, when set, runs
// each time the list opens, so the list can be brought up to date first.
class IdListCombo : public QComboBox {
    Q_OBJECT
public:
    explicit IdListCombo(QWidget *parent = nullptr);

    // Replaces the items; the blank item comes last. The record chosen
    // before stays chosen when it is still there, else the blank item.
    void setItems(const QStringList &names, const QVector<qint32> &ids);
    int recordCount() const { return m_model->rowCount() - 1; }
    int blankIndex() const { return recordCount(); }
    // The id of the chosen item; 0 for the blank item or none.
    qint32 currentId() const;
    // Chooses the item of the id, or the blank item when none has it;
    // false in that case.
    bool selectId(qint32 id);

    std::function<void()> beforePopup;
    void showPopup() override;

private:
    NameListModel *m_model;
};
