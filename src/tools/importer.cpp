#include "tools/importer.h"

#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "lib/sitelock.h"
#include "tools/fileops.h"
#include "tools/wordimport.h"
#include "ui/qtdialogs.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <optional>

namespace qs {

namespace {
const QString kSourceKey = QStringLiteral("ImporterSource");
const QString kDestinationKey = QStringLiteral("ImporterDestination");
} // namespace

Importer::Importer(QWidget* parent) : Importer(std::make_unique<QtDialogs>(), nullptr, parent) {
    static_cast<QtDialogs*>(ownDialogs_.get())->setParent(this);
}

Importer::Importer(Dialogs& dialogs, QWidget* parent) : Importer(nullptr, &dialogs, parent) {}

Importer::Importer(std::unique_ptr<Dialogs> own, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), ownDialogs_(std::move(own)),
      dialogs_(dialogs ? *dialogs : *ownDialogs_, [this](const QString& text) { lEtat->setText(text); }) {
    setObjectName(QStringLiteral("Importer"));
    setWindowTitle(QStringLiteral("Importer des fichiers Word"));
    // Escape closes the window, as "Quitter" does, unless an import is under way.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (!running_)
            bFin_Click();
    });

    lR0 = new FolderField(dialogs_, QStringLiteral("Fichiers doc à indexer"), this);
    lR0->setObjectName(QStringLiteral("lR0"));
    lR1 = new FolderField(dialogs_, QStringLiteral("Destination"), this);
    lR1->setObjectName(QStringLiteral("lR1"));
    lF = new QListWidget(this);
    lF->setObjectName(QStringLiteral("lF"));
    lF->setSelectionMode(QAbstractItemView::ExtendedSelection);
    bGo = new QPushButton(QStringLiteral("&Indexer"), this);
    bGo->setObjectName(QStringLiteral("bGo"));
    bFin = new QPushButton(QStringLiteral("&Quitter"), this);
    bFin->setObjectName(QStringLiteral("bFin"));
    lEtat = new QLabel(this);
    lEtat->setObjectName(QStringLiteral("lEtat"));
    lAide = new QLabel(this);
    lAide->setObjectName(QStringLiteral("lAide"));
    lAide->setWordWrap(true);
    lAide->setText(QStringLiteral(
        "Ce module va importer des fichiers Word dans un mode visionneur. Il ne va en aucun cas convertir "
        "les fichiers Word au format HTML. Ce qui implique que vous possédiez un plugin Visionneur Word... "
        "Aucun visionneur n'est livré avec le programme : le navigateur qui affiche le site doit savoir "
        "montrer les documents Word (extension ou visionneur installé à part)."));

    auto* sourceLabel = new QLabel(QStringLiteral("&Fichiers doc à indexer"), this);
    sourceLabel->setBuddy(lR0->edit());
    auto* destinationLabel = new QLabel(QStringLiteral("&Destination"), this);
    destinationLabel->setBuddy(lR1->edit());

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lEtat, 1);
    buttons->addWidget(bGo);
    buttons->addWidget(bFin);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lAide);
    layout->addWidget(sourceLabel);
    layout->addWidget(lR0);
    layout->addWidget(lF, 1);
    layout->addWidget(destinationLabel);
    layout->addWidget(lR1);
    layout->addLayout(buttons);
    resize(520, 520);
    bGo->setDefault(true);

    connect(lR0, &FolderField::folderChanged, this, [this](const QString& folder) {
        DossierMémoriser(kSourceKey, folder);
        lF->clear();
        lF->addItems(FichiersLister(folder, MotifsDocumentsWord()));
        Contrôler();
    });
    connect(lR1, &FolderField::folderChanged, this, [this](const QString& folder) {
        DossierMémoriser(kDestinationKey, folder);
        Contrôler();
    });
    connect(lF, &QListWidget::itemSelectionChanged, this, &Importer::Contrôler);
    connect(bGo, &QPushButton::clicked, this, &Importer::bGo_Click);
    connect(bFin, &QPushButton::clicked, this, &Importer::bFin_Click);

    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    lR0->setFolder(DossierMémorisé(kSourceKey, {documents}));
    lR1->setFolder(
        DossierMémorisé(kDestinationKey, {ParamètreLire(QStringLiteral("Répertoire")), documents}));
    Contrôler();
}

QStringList Importer::selectedFiles() const {
    QStringList names;
    for (int i = 0; i < lF->count(); ++i)
        if (lF->item(i)->isSelected())
            names.append(lF->item(i)->text());
    return names;
}

void Importer::Contrôler() {
    bGo->setEnabled(!running_ && !lF->selectedItems().isEmpty() && !lR1->folder().isEmpty());
}

void Importer::bGo_Click() {
    const QStringList names = selectedFiles();
    if (running_ || names.isEmpty())
        return;
    // Pages written into the program's site hold its lock, as every other writer there does.
    const QString site = ParamètreLire(QStringLiteral("Répertoire"));
    std::optional<SiteLock> lock;
    if (isSameOrInside(lR1->folder(), site)) {
        lock.emplace(site);
        if (lockRefused(*lock, dialogs_))
            return;
    }
    running_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{lR0, lR1, lF, bFin})
        w->setEnabled(false);
    Contrôler();
    ImporterWord(lR0->folder(), lR1->folder(), names, ProgrammeID(), dialogs_);
    running_ = false;
    for (QWidget* w : std::initializer_list<QWidget*>{lR0, lR1, lF, bFin})
        w->setEnabled(true);
    Contrôler();
}

void Importer::bFin_Click() {
    hide();
    emit finished();
}

void Importer::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        FenêtreCentrer(this);
    }
}

void Importer::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    event->accept();
    // Closed by the user: back to the main window. Closed by the main window as it ends: nothing.
    if (event->spontaneous())
        emit finished();
}

} // namespace qs
