#pragma once

#include "tools/folderfield.h"

#include <QWidget>

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace qs {

// The Word import window: the folder of the documents and its "*.doc" files (several may be
// selected), the destination folder, "Indexer" and "Quitter". Create it without a parent; "Quitter" or
// closing hides it and emits finished(), on which the main window shows itself again.
class Importer : public QWidget {
    Q_OBJECT
public:
    // Its messages and choosers on its own window.
    explicit Importer(QWidget* parent = nullptr);
    // Its messages and choosers through `dialogs` (tests).
    explicit Importer(Dialogs& dialogs, QWidget* parent = nullptr);

    QStringList selectedFiles() const;

    FolderField* lR0; // "Fichiers doc à indexer"
    FolderField* lR1; // "Destination"
    QListWidget* lF;
    QPushButton* bGo;
    QPushButton* bFin;
    QLabel* lEtat;
    QLabel* lAide;

signals:
    void finished();

public:
    // Handlers: plain methods, since moc reads only ASCII names (connections use member pointers).
    void bGo_Click();
    void bFin_Click();
    void Contrôler();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Importer(std::unique_ptr<Dialogs> own, Dialogs* dialogs, QWidget* parent);

    std::unique_ptr<Dialogs> ownDialogs_;
    WindowDialogs dialogs_;
    bool running_ = false;
    bool centred_ = false;
};

} // namespace qs
