#pragma once

#include "tools/folderfield.h"
#include "tools/replace.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QDialog;

namespace qs {

class F_Conf;

// The replacement window: a folder, its files (several may be selected), the text to find and its
// replacement, the two options and "Exécuter". Create it without a parent; "Quitter" or closing hides
// it and emits finished(), on which the main window shows itself again.
class frmRemp : public QWidget, public Confirmation {
    Q_OBJECT
public:
    // Its messages and choosers on its own window.
    explicit frmRemp(QWidget* parent = nullptr);
    // Its messages and choosers through `dialogs` (tests).
    explicit frmRemp(Dialogs& dialogs, QWidget* parent = nullptr);
    ~frmRemp() override;

    // Asks through F_Conf.
    bool Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                 const QString& replacement) override;
    bool running() const { return running_; }
    // Names of the selected files, in list order.
    QStringList selectedFiles() const;

    FolderField* lR;
    QListWidget* lF;
    QLineEdit* t0; // "Remplacer"
    QLineEdit* t1; // "par"
    QCheckBox* cMajMin;
    QCheckBox* cConfirm;
    QPushButton* bAperçu;
    QPushButton* bExécuter;
    QPushButton* bAnnuler; // "Annuler le dernier remplacement"
    QPushButton* bArrêter;
    QPushButton* bFin;
    QProgressBar* progress;
    QLabel* lEtat;

signals:
    void finished();

public:
    // Handlers: plain methods, since moc reads only ASCII names (connections use member pointers).
    void bExécuter_Click();
    // Shows every occurrence in the selected files, each file ticked; nothing is written.
    void bAperçu_Click();
    // Replaces in the files still ticked in the preview.
    void aperçuAppliquer();
    void bAnnuler_Click();
    // The preview window while it is open (tests): its tree (files with their changed lines) and its
    // "Appliquer" button.
    QDialog* aperçu() const { return aperçu_; }
    QTreeWidget* aperçuArbre() const { return aperçuArbre_; }
    QPushButton* aperçuAppliquerBouton() const { return aperçuAppliquer_; }
    void bFin_Click();
    // Lists the files of lR's folder again, keeping the selection.
    void lF_Refresh();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setRunning(bool running);
    void run(const QStringList& names, const ReplaceRequest& request);
    ReplaceRequest request() const;
    void updateButtons();

    frmRemp(std::unique_ptr<Dialogs> own, Dialogs* dialogs, QWidget* parent);

    std::unique_ptr<Dialogs> ownDialogs_;
    WindowDialogs dialogs_;
    std::unique_ptr<F_Conf> conf_;
    ChangeJournal journal_;
    QDialog* aperçu_ = nullptr;
    QTreeWidget* aperçuArbre_ = nullptr;
    QPushButton* aperçuAppliquer_ = nullptr;
    ReplaceRequest aperçuRequest_;
    QString aperçuFolder_;
    bool running_ = false;
    bool stopRequested_ = false;
    bool centred_ = false;
};

} // namespace qs
