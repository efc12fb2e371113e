#include "indexer/indexation.h"

#include "commands/mainstate.h"
#include "lib/helpers.h"
#include "ui/qtdialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qs {

Indexation::Indexation(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Indexation"));
    E = new QLabel(this);
    E->setObjectName(QStringLiteral("E"));
    E->setTextFormat(Qt::PlainText);
    // Long paths must not widen the window at every folder.
    E->setMinimumWidth(420);
    E->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lProgression = new QLabel(this);
    lProgression->setObjectName(QStringLiteral("lProgression"));
    bArreter = new QPushButton(QStringLiteral("&Arrêter"), this);
    bArreter->setObjectName(QStringLiteral("bArreter"));
    bArreter->setToolTip(
        QStringLiteral("Arrête l'indexation ; les listes précédentes sont conservées (Échap)"));
    connect(bArreter, &QPushButton::clicked, this, &Indexation::requestStop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bArreter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(E);
    layout->addWidget(lProgression);
    layout->addLayout(buttons);
    found(0, 0);
    setRunning(true);
}

void Indexation::setRunning(bool running) {
    running_ = running;
    if (running)
        stop_ = false;
    bArreter->setEnabled(running);
    setWindowTitle(ProgrammeID() + (running ? QStringLiteral(" - Indexation en cours")
                                            : QStringLiteral(" - Indexation terminée")));
}

void Indexation::folder(const QString& path) {
    E->setText(path);
}

void Indexation::found(qsizetype folders, qsizetype pages) {
    lProgression->setText(
        QStringLiteral("Dossiers parcourus : %1    Pages trouvées : %2").arg(folders).arg(pages));
}

void Indexation::requestStop() {
    if (!running_)
        return;
    stop_ = true;
    bArreter->setEnabled(false);
    lProgression->setText(QStringLiteral("Arrêt demandé..."));
}

void Indexation::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // A run under way stops; an idle window closes.
        if (running_)
            requestStop();
        else
            close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Indexation::closeEvent(QCloseEvent* event) {
    // Closing the window while the run goes on stops it; the run hides the window itself.
    if (running_) {
        requestStop();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

IndexResult mnuOptionsIndex_Click(MainState& state, QWidget* mainWindow) {
    static bool running = false;
    if (running) {
        state.dialogs.beep();
        return {};
    }
    running = true;
    state.dialogs.processEvents();
    Indexation window(mainWindow);
    window.adjustSize();
    FenêtreCentrer(&window);
    window.show();
    state.dialogs.processEvents();
    IndexResult result = runIndexing(state, window);
    window.setRunning(false);
    window.hide();
    running = false;
    return result;
}

} // namespace qs
