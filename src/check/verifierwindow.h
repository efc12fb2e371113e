#pragma once

#include "check/verifier.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace qs {

class Dialogs;

// "Vérifier le site": runs the check with a progress bar and "Arrêter" (Escape), lists the problems in a
// table sortable by any column (kind, page, line, link), shows a page in the browser pane on a double
// click, and fixes the case mismatches after one confirmation.
class VerifierWindow : public QDialog {
    Q_OBJECT
public:
    using ShowPage = std::function<void(const QString& path)>;

    VerifierWindow(const QString& root, Dialogs& dialogs, ShowPage showPage, QWidget* parent = nullptr);

    // Checks the site (again); returns when done or stopped.
    void run();
    bool running() const { return running_; }
    const SiteCheck& result() const { return check_; }
    QTableView* table() const { return table_; }

    // Asks to fix the case mismatches, fixes them and checks again.
    void fixCaseClicked();

protected:
    void reject() override; // Escape: stops a running check, else closes
    void closeEvent(QCloseEvent* event) override;

private:
    void showResult();
    void openRow(const QModelIndex& index);

    QString root_;
    Dialogs& dialogs_;
    ShowPage showPage_;
    SiteCheck check_;
    bool running_ = false;
    bool stopAsked_ = false;
    QLabel* status_;
    QProgressBar* progress_;
    QTableView* table_;
    QStandardItemModel* model_;
    QPushButton* again_;
    QPushButton* stop_;
    QPushButton* fix_;
};

} // namespace qs
