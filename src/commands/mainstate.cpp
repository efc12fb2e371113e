#include "commands/mainstate.h"

#include "lib/text1252.h"

#include <algorithm>

namespace qs {

StructureList::StructureList() : selection_(&model_) {}

QString StructureList::text(int row) const {
    return model_.item(row) ? model_.item(row)->text() : QString();
}

int StructureList::number(int row) const {
    return model_.item(row) ? model_.item(row)->data(Qt::UserRole).toInt() : 0;
}

int StructureList::add(const QString& text, int number) {
    // Binary search for the first row sorting after the new one: equal texts keep their order of adding.
    int lo = 0;
    int hi = model_.rowCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compareUpper1252(text, model_.item(mid)->text()) < 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    auto* item = new QStandardItem(text);
    item->setData(number, Qt::UserRole);
    item->setEditable(false);
    model_.insertRow(lo, item);
    return lo;
}

void StructureList::addAll(const QList<std::pair<QString, int>>& rows) {
    if (model_.rowCount() > 0) {
        for (const auto& [text, number] : rows)
            add(text, number);
        return;
    }
    QList<std::pair<QString, int>> sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return compareUpper1252(a.first, b.first) < 0; });
    QList<QStandardItem*> items;
    items.reserve(sorted.size());
    for (const auto& [text, number] : sorted) {
        auto* item = new QStandardItem(text);
        item->setData(number, Qt::UserRole);
        item->setEditable(false);
        items.append(item);
    }
    model_.invisibleRootItem()->appendRows(items);
}

void StructureList::removeRow(int row) {
    model_.removeRow(row);
}

void StructureList::clear() {
    selection_.clear();
    model_.clear();
}

int StructureList::find(const QString& text) const {
    for (int i = 0; i < model_.rowCount(); ++i)
        if (compareUpper1252(model_.item(i)->text(), text) == 0)
            return i;
    return -1;
}

int StructureList::selectedRow() const {
    const QModelIndexList rows = selection_.selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString StructureList::selectedText() const {
    const int row = selectedRow();
    return row < 0 ? QString() : text(row);
}

void StructureList::select(int row) {
    if (row < 0 || row >= model_.rowCount()) {
        selection_.clear();
        return;
    }
    selection_.setCurrentIndex(model_.index(row, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QStringList StructureList::texts() const {
    QStringList out;
    for (int i = 0; i < model_.rowCount(); ++i)
        out.append(model_.item(i)->text());
    return out;
}

MainState::MainState(Dialogs& d, const Clock& c, QString folder, QObject* parent)
    : QObject(parent), dialogs(d), clock(c), programFolder(std::move(folder)) {}

} // namespace qs
