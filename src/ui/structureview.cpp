#include "ui/structureview.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

namespace qs {

StructureView::StructureView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
}

int StructureView::selectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void StructureView::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    // A click on a row selects it and runs the selection handling, even when it was selected already.
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        Q_EMIT userSelected();
}

void StructureView::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    Q_EMIT mouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

void StructureView::keyPressEvent(QKeyEvent* event) {
    const int before = selectedRow();
    QListView::keyPressEvent(event);
    if (selectedRow() != before && selectedRow() >= 0)
        Q_EMIT userSelected();
}

} // namespace qs
