#include "NameLists.h"

void NameListModel::setItems(QStringList texts, QVector<qint32> ids)
{
    beginResetModel();
    m_texts = std::move(texts);
    m_ids = std::move(ids);
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_texts.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_texts.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_texts.at(index.row());
    if (role == Qt::UserRole)
        return m_ids.at(index.row());
    return {};
}

void configureLongList(QComboBox *combo)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(30);
    combo->setMaxVisibleItems(20);
}

IdListCombo::IdListCombo(QWidget *parent) : QComboBox(parent), m_model(new NameListModel(this))
{
    setModel(m_model);
    configureLongList(this);
    m_model->setItems({QStringLiteral(" ")}, {0});
}

void IdListCombo::setItems(const QStringList &names, const QVector<qint32> &ids)
{
    const qint32 keep = currentId();
    QStringList texts = names;
    texts.append(QStringLiteral(" "));
    QVector<qint32> all = ids;
    all.append(0);
    m_model->setItems(std::move(texts), std::move(all));
    selectId(keep);
}

qint32 IdListCombo::currentId() const
{
    const int item = currentIndex();
    return item >= 0 && item < recordCount() ? m_model->idAt(item) : 0;
}

bool IdListCombo::selectId(qint32 id)
{
    const int at = id ? m_model->rowOfId(id) : -1;
    const bool found = at >= 0 && at < recordCount();
    setCurrentIndex(found ? at : blankIndex());
    return found;
}

void IdListCombo::showPopup()
{
    if (beforePopup)
        beforePopup();
    QComboBox::showPopup();
}
