#pragma once

#include "lib/dialogs.h"

#include <QElapsedTimer>
#include <QPointer>

#include <functional>

class QWidget;

namespace qs {

// The Dialogs port on real windows: QMessageBox, QInputDialog, QFileDialog, the application's cursor
// and the main window's status bar.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr);

    void setParent(QWidget* parent) { parent_ = parent; }
    // Where status() writes; by default nothing shows it.
    void setStatusSink(std::function<void(const QString&)> sink) { statusSink_ = std::move(sink); }
    // Runs before every box or chooser is shown (the start-up closes its splash window there).
    void setBeforeModal(std::function<void()> hook) { beforeModal_ = std::move(hook); }

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override;
    bool question(const QString& text, Icon icon = Icon::Question, const QString& title = {}) override;
    bool questionWithDetails(const QString& text, const QString& details, const QString& title = {}) override;
    bool questionNoByDefault(const QString& text, Icon icon = Icon::Question,
                             const QString& title = {}) override;
    QString prompt(const QString& text, const QString& title = {},
                   const QString& defaultAnswer = {}) override;
    QString openFile(const QString& title, const QString& folder, const QString& filter) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    void beep() override;
    void status(const QString& text) override;
    void processEvents() override;

protected:
    void setBusy(bool busy) override;

private:
    QString titleOr(const QString& title) const;
    bool ask(const QString& text, Icon icon, const QString& title, bool yesByDefault);
    void aboutToShow();

    QPointer<QWidget> parent_;
    std::function<void(const QString&)> statusSink_;
    std::function<void()> beforeModal_;
    QElapsedTimer lastEvents_;
    int busyDepth_ = 0;
};

// Moves the window to the centre of its screen.
void FenêtreCentrer(QWidget* window);

} // namespace qs
