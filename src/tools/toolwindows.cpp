#include "tools/toolwindows.h"

#include "tools/frmremp.h"
#include "tools/importer.h"

#include <QPointer>

namespace qs {
namespace {

// Keeps a main window's tool window: the window itself has no parent, so that it has its own place in
// the task bar while the main window is hidden; it goes when the main window goes.
class ToolHolder final : public QObject {
public:
    using QObject::QObject;
    ~ToolHolder() override {
        if (window)
            window->deleteLater();
    }
    QPointer<QWidget> window;
};

template <typename Window> void showInstead(QWidget* main, const char* name) {
    auto* holder = main->findChild<ToolHolder*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!holder) {
        holder = new ToolHolder(main);
        holder->setObjectName(QLatin1String(name));
    }
    auto* window = qobject_cast<Window*>(holder->window.data());
    if (!window) {
        window = new Window;
        holder->window = window;
        QObject::connect(window, &Window::finished, main, [main] {
            main->show();
            main->activateWindow();
        });
    }
    main->hide();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void mnuOptionsRemp_Click(QWidget* main) {
    showInstead<frmRemp>(main, "frmRempHolder");
}

void mnuOptionsImport_Click(QWidget* main) {
    showInstead<Importer>(main, "ImporterHolder");
}

} // namespace qs
