#pragma once

#include "indexer/indexer.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace qs {

class MainState;

// The small window of an indexing run: the label E shows the folder being walked, a second line the
// folders walked and pages found (then the titles read), and "Arrêter" (or Escape, or closing the
// window) stops the run, leaving the previous lists in place.
class Indexation : public QWidget, public IndexProgress {
    Q_OBJECT
public:
    explicit Indexation(QWidget* parent = nullptr);

    // The caption: the program identification and " - Indexation en cours" / " - Indexation terminée".
    void setRunning(bool running);

    void folder(const QString& path) override;
    void found(qsizetype folders, qsizetype pages) override;
    void fullText(qsizetype done, qsizetype total) override;
    bool stopRequested() override { return stop_; }
    void written() override { setRunning(false); }

    QLabel* E;
    QLabel* lProgression;
    QPushButton* bArreter;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void requestStop();

    bool stop_ = false;
    bool running_ = false;
};

// The Tools menu's "&Générer un fichier d'index": indexes the main window's site in an Indexation
// window, shown while the run lasts. A second request while a run is going on only beeps.
IndexResult mnuOptionsIndex_Click(MainState& state, QWidget* mainWindow);

} // namespace qs
