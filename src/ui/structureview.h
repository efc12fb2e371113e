#pragma once

#include <QListView>

namespace qs {

// A list of the main window (domains, categories, pages). It tells user selections apart from those the
// program makes: userSelected() follows a left click on a row or a keyboard move, never select() calls
// of the logic, which run their selection handling themselves.
class StructureView : public QListView {
    Q_OBJECT
public:
    explicit StructureView(QWidget* parent = nullptr);

Q_SIGNALS:
    void userSelected();
    // Any button released over the list, in the viewport's coordinates (context menus, drops).
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int selectedRow() const;
};

} // namespace qs
