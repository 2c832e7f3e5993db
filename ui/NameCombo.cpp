#include "ui/NameCombo.h"

#include "db/RowSet.h"

#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>

namespace NameCombo {

void prepare(QComboBox* combo, int visibleChars)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(visibleChars);
    if (auto* list = qobject_cast<QListView*>(combo->view()))
        list->setUniformItemSizes(true);
}

void fill(QComboBox* combo, RowSet& rows, const QString& nameColumn, const QString& idColumn)
{
    QList<QStandardItem*> items;
    items.reserve(rows.recordCount());
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const Variant name = rows.value(nameColumn);
        auto* item = new QStandardItem(name.isNull() || name.isEmpty() ? QString() : name.toText());
        const Variant id = rows.value(idColumn);
        if (!id.isNull() && !id.isEmpty())
            item->setData(id.toInt32(), Qt::UserRole);
        items.append(item);
    }
    combo->clear();
    auto* model = qobject_cast<QStandardItemModel*>(combo->model());
    if (model && !items.isEmpty()) {
        model->invisibleRootItem()->insertRows(0, items);
    } else {
        // A list given another model takes the names one by one.
        for (QStandardItem* item : std::as_const(items)) {
            combo->addItem(item->text(), item->data(Qt::UserRole));
            delete item;
        }
    }
    combo->setCurrentIndex(-1);
}

}  // namespace NameCombo
