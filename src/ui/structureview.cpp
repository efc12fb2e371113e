#include "ui/structureview.h"

#include <QApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace qs {

namespace {

// Rows claim no width of their own: each is as wide as the list, so a long title ends with "…" there
// instead of widening the list under a horizontal scroll bar.
class ListWideDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(1);
        return size;
    }
};

} // namespace

StructureView::StructureView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setItemDelegate(new ListWideDelegate(this));
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
}

int StructureView::rowAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.row() : -1;
}

int StructureView::selectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void StructureView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
    pressedAt_ = event->position().toPoint();
    pressedRow_ = rowAt(pressedAt_);
    // A click on a row selects it and runs the selection handling, even when it was selected already.
    if (pressedRow_ >= 0)
        Q_EMIT userSelected();
}

void StructureView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || pressedRow_ < 0 || !dragSource ||
        (event->position().toPoint() - pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
        QListView::mouseMoveEvent(event);
        return;
    }
    const int row = pressedRow_;
    pressedRow_ = -1;
    if (QMimeData* carried = dragSource(row)) {
        auto* drag = new QDrag(this);
        drag->setMimeData(carried);
        drag->exec(Qt::MoveAction);
    }
}

void StructureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        QListView::mouseReleaseEvent(event);
    pressedRow_ = -1;
    Q_EMIT mouseUp(event->button(), rowAt(event->position().toPoint()), event->globalPosition().toPoint());
}

void StructureView::keyPressEvent(QKeyEvent* event) {
    // The menu key (or Shift+F10) stands for a right click on the selected row, so that its menu
    // ("Déplacer vers...", "Renommer"...) can be reached without a mouse.
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        event->accept();
        const int row = selectedRow();
        if (row < 0)
            return;
        const QRect rect = visualRect(model()->index(row, 0));
        Q_EMIT mouseUp(Qt::RightButton, row, viewport()->mapToGlobal(rect.center()));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier && selectedRow() >= 0) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    const int before = selectedRow();
    QListView::keyPressEvent(event);
    if (selectedRow() != before && selectedRow() >= 0)
        Q_EMIT userSelected();
}

bool StructureView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QListView::viewportEvent(event);
    // A text the column cuts shows in full under the pointer; a whole one needs no tip.
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect rect = visualRect(index);
    if (index.isValid() && fontMetrics().horizontalAdvance(text) + 2 * spacing() + 8 > rect.width())
        QToolTip::showText(help->globalPos(), text, viewport(), rect);
    else
        QToolTip::hideText();
    return true;
}

void StructureView::dragEnterEvent(QDragEnterEvent* event) {
    if (canDrop && event->source() != this)
        event->acceptProposedAction();
    else
        event->ignore();
}

void StructureView::dragMoveEvent(QDragMoveEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (canDrop && event->source() != this && canDrop(event->mimeData(), row))
        event->acceptProposedAction();
    else
        event->ignore();
}

void StructureView::dropEvent(QDropEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (!drop || !canDrop || event->source() == this || !canDrop(event->mimeData(), row)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The move shows messages and rebuilds the lists: it runs once the drag has ended.
    auto* copy = new QMimeData;
    for (const QString& f : event->mimeData()->formats())
        copy->setData(f, event->mimeData()->data(f));
    QMetaObject::invokeMethod(
        this,
        [this, copy, row] {
            drop(copy, row);
            delete copy;
        },
        Qt::QueuedConnection);
}

} // namespace qs
