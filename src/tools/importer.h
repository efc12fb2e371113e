#pragma once

#include "tools/folderfield.h"

#include <QWidget>

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
    WindowDialogs dialogs_;
    bool running_ = false;
    bool centred_ = false;
};

} // namespace qs
