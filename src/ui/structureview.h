#pragma once

#include <QListView>

#include <functional>

class QMimeData;

namespace qs {

// A list of the main window (domains, categories, pages). It tells user selections apart from those the
// program makes: userSelected() follows a left click on a row or a keyboard move, never select() calls
// of the logic, which run their selection handling themselves. A right click does not select: the
// logic's mouse-up handler does, so that it sees the selection change.
//
// Rows can be dragged (dragSource gives what a row carries) and things dropped on rows (canDrop says
// whether a drop there would be taken, drop takes it). Rows are those under the pointer, scrolling
// included; -1 below the last row.
class StructureView : public QListView {
    Q_OBJECT
public:
    explicit StructureView(QWidget* parent = nullptr);

    std::function<QMimeData*(int row)> dragSource;
    std::function<bool(const QMimeData* carried, int row)> canDrop;
    std::function<void(const QMimeData* carried, int row)> drop;

    // The row under a point of the viewport, -1 when there is none.
    int rowAt(const QPoint& position) const;

Q_SIGNALS:
    void userSelected();
    // Enter or Return with a row selected.
    void enterPressed();
    // A button released over the list: the row under the pointer (-1 when none) and where, globally.
    // The menu key gives a right button on the selected row.
    void mouseUp(Qt::MouseButton button, int row, const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int selectedRow() const;
    QPoint pressedAt_;
    int pressedRow_ = -1;
};

} // namespace qs
