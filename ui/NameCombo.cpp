#include "ui/NameCombo.h"

#include "db/NameList.h"

#include <QAbstractListModel>
#include <QComboBox>
#include <QListView>

namespace {

// The names and their numbers as two plain arrays. A list of thousands of ships is then filled
// by handing over the arrays, with no object made per name, and read by the combo box and its
// popup as any other model.
class NameListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    static constexpr qint64 NoId = NameList::NoId;

    void replace(QVector<QString> names, QVector<qint64> ids)
    {
        beginResetModel();
        m_names = std::move(names);
        m_ids = std::move(ids);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_names.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_names.size())
            return QVariant();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_names.at(index.row());
        case Qt::UserRole:
            return m_ids.at(index.row()) == NoId ? QVariant() : QVariant(int(m_ids.at(index.row())));
        default:
            return QVariant();
        }
    }

    // What QComboBox::addItem and clear() ask of a model.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override
    {
        if (parent.isValid() || row < 0 || row > m_names.size() || count <= 0)
            return false;
        beginInsertRows(parent, row, row + count - 1);
        m_names.insert(row, count, QString());
        m_ids.insert(row, count, NoId);
        endInsertRows();
        return true;
    }

    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override
    {
        if (parent.isValid() || row < 0 || count <= 0 || row + count > m_names.size())
            return false;
        beginRemoveRows(parent, row, row + count - 1);
        m_names.remove(row, count);
        m_ids.remove(row, count);
        endRemoveRows();
        return true;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || index.row() >= m_names.size())
            return false;
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            m_names[index.row()] = value.toString();
        else if (role == Qt::UserRole)
            m_ids[index.row()] = value.isValid() ? value.toLongLong() : NoId;
        else
            return false;
        emit dataChanged(index, index, {role});
        return true;
    }

private:
    QVector<QString> m_names;
    QVector<qint64> m_ids;
};

}  // namespace

namespace NameCombo {

void prepare(QComboBox* combo, int visibleChars)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(visibleChars);
    combo->setModel(new NameListModel(combo));
    if (auto* list = qobject_cast<QListView*>(combo->view()))
        list->setUniformItemSizes(true);
}

void fill(QComboBox* combo, const NameList& list)
{
    auto* model = dynamic_cast<NameListModel*>(combo->model());
    Q_ASSERT_X(model, "NameCombo::fill", "the list is set up by prepare() first");
    if (model)
        model->replace(list.names(), list.ids());
    combo->setCurrentIndex(-1);
}

}  // namespace NameCombo
