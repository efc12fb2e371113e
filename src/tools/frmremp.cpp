#include "tools/frmremp.h"

#include "lib/files.h"
#include "lib/helpers.h"
#include "lib/settings.h"
#include "tools/fconf.h"
#include "tools/fileops.h"
#include "ui/qtdialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qs {

namespace {
const QString kFolderKey = QStringLiteral("RemplacementDossier");
}

frmRemp::frmRemp(QWidget* parent) : frmRemp(std::make_unique<QtDialogs>(), nullptr, parent) {
    static_cast<QtDialogs*>(ownDialogs_.get())->setParent(this);
}

frmRemp::frmRemp(Dialogs& dialogs, QWidget* parent) : frmRemp(nullptr, &dialogs, parent) {}

frmRemp::frmRemp(std::unique_ptr<Dialogs> own, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), ownDialogs_(std::move(own)),
      dialogs_(dialogs ? *dialogs : *ownDialogs_, [this](const QString& text) { lEtat->setText(text); }),
      journal_(ChangeJournal::defaultFolder(QStringLiteral("remplacement"))) {
    setObjectName(QStringLiteral("frmRemp"));
    setWindowTitle(ProgrammeID() + QStringLiteral(" Remplacement de chaînes de caractères"));

    lR = new FolderField(dialogs_, QStringLiteral("Dossier des fichiers"), this);
    lR->setObjectName(QStringLiteral("lR"));
    lF = new QListWidget(this);
    lF->setObjectName(QStringLiteral("lF"));
    lF->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t0 = new QLineEdit(this);
    t0->setObjectName(QStringLiteral("t0"));
    t1 = new QLineEdit(this);
    t1->setObjectName(QStringLiteral("t1"));
    cMajMin = new QCheckBox(QStringLiteral("Distinguer les &majuscules des minuscules"), this);
    cMajMin->setObjectName(QStringLiteral("cMajMin"));
    cConfirm = new QCheckBox(QStringLiteral("&Confirmer les remplacements"), this);
    cConfirm->setObjectName(QStringLiteral("cConfirm"));
    bAperçu = new QPushButton(QStringLiteral("A&perçu..."), this);
    bAperçu->setObjectName(QStringLiteral("bAperçu"));
    bAperçu->setToolTip(QStringLiteral("Montre chaque remplacement avant de l'appliquer"));
    bAnnuler = new QPushButton(QStringLiteral("A&nnuler le dernier remplacement"), this);
    bAnnuler->setObjectName(QStringLiteral("bAnnuler"));
    bExécuter = new QPushButton(QStringLiteral("&Exécuter"), this);
    bExécuter->setObjectName(QStringLiteral("bExécuter"));
    bArrêter = new QPushButton(QStringLiteral("&Arrêter"), this);
    bArrêter->setObjectName(QStringLiteral("bArrêter"));
    bArrêter->setToolTip(QStringLiteral("Arrêter après le fichier en cours (Échap)"));
    bFin = new QPushButton(QStringLiteral("&Quitter"), this);
    bFin->setObjectName(QStringLiteral("bFin"));
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    lEtat = new QLabel(this);
    lEtat->setObjectName(QStringLiteral("lEtat"));

    auto* folderLabel = new QLabel(QStringLiteral("&Dossier"), this);
    folderLabel->setBuddy(lR->edit());
    auto* filesLabel = new QLabel(QStringLiteral("&Fichiers"), this);
    filesLabel->setBuddy(lF);
    auto* findLabel = new QLabel(QStringLiteral("&Remplacer"), this);
    findLabel->setBuddy(t0);
    auto* byLabel = new QLabel(QStringLiteral("&par"), this);
    byLabel->setBuddy(t1);

    auto* grid = new QGridLayout;
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(t0, 0, 1);
    grid->addWidget(byLabel, 1, 0);
    grid->addWidget(t1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress, 1);
    buttons->addWidget(bArrêter);
    buttons->addStretch();
    buttons->addWidget(bAnnuler);
    buttons->addWidget(bAperçu);
    buttons->addWidget(bExécuter);
    buttons->addWidget(bFin);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(folderLabel);
    layout->addWidget(lR);
    layout->addWidget(filesLabel);
    layout->addWidget(lF, 1);
    layout->addLayout(grid);
    layout->addWidget(cMajMin);
    layout->addWidget(cConfirm);
    layout->addWidget(lEtat);
    layout->addLayout(buttons);
    resize(640, 560);

    progress->hide();
    bArrêter->hide();
    bExécuter->setDefault(true);

    connect(lR, &FolderField::folderChanged, this, [this](const QString& folder) {
        DossierMémoriser(kFolderKey, folder);
        lF->clear();
        lF->addItems(FichiersLister(folder));
    });
    connect(t0, &QLineEdit::textChanged, this, &frmRemp::updateButtons);
    connect(t1, &QLineEdit::textChanged, this, &frmRemp::updateButtons);
    connect(bExécuter, &QPushButton::clicked, this, &frmRemp::bExécuter_Click);
    connect(bAperçu, &QPushButton::clicked, this, &frmRemp::bAperçu_Click);
    connect(bAnnuler, &QPushButton::clicked, this, &frmRemp::bAnnuler_Click);
    connect(bFin, &QPushButton::clicked, this, &frmRemp::bFin_Click);
    connect(bArrêter, &QPushButton::clicked, this, [this] { stopRequested_ = true; });
    auto* stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    // Escape stops a replacement under way, and otherwise leaves as "Quitter" does: back to the main
    // window (a plain close() would leave it hidden, and the program would end with its last window).
    connect(stop, &QShortcut::activated, this, [this] {
        if (running_)
            stopRequested_ = true;
        else
            bFin_Click();
    });
    auto* refresh = new QShortcut(QKeySequence::Refresh, this);
    connect(refresh, &QShortcut::activated, this, &frmRemp::lF_Refresh);

    lR->setFolder(DossierMémorisé(kFolderKey, {ParamètreLire(QStringLiteral("Répertoire"))}));
    updateButtons();
}

// The preview goes first, while this window is whole: its destruction clears the pointers to it here,
// which the base class's clean-up of the children would do on a window already half destroyed.
frmRemp::~frmRemp() {
    delete aperçu_;
}

void frmRemp::updateButtons() {
    bExécuter->setEnabled(!running_ && !t0->text().isEmpty());
    bAperçu->setEnabled(!running_ && !t0->text().isEmpty());
    const auto last = journal_.lastRun();
    bAnnuler->setEnabled(!running_ && last.has_value());
    bAnnuler->setToolTip(last ? QStringLiteral("Rétablit les fichiers modifiés par le remplacement du %1")
                                    .arg(last->toString(QStringLiteral("dd.MM.yyyy à hh:mm:ss")))
                              : QStringLiteral("Aucun remplacement à annuler"));
}

QStringList frmRemp::selectedFiles() const {
    QStringList names;
    for (int i = 0; i < lF->count(); ++i)
        if (lF->item(i)->isSelected())
            names.append(lF->item(i)->text());
    return names;
}

void frmRemp::lF_Refresh() {
    if (running_)
        return;
    const QStringList selected = selectedFiles();
    const QSet<QString> keep(selected.begin(), selected.end());
    lF->clear();
    lF->addItems(FichiersLister(lR->folder()));
    for (int i = 0; i < lF->count(); ++i)
        if (keep.contains(lF->item(i)->text()))
            lF->item(i)->setSelected(true);
}

bool frmRemp::Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                      const QString& replacement) {
    if (!conf_)
        conf_ = std::make_unique<F_Conf>(this);
    return conf_->Confirm(file, line, start, length, replacement);
}

void frmRemp::setRunning(bool running) {
    running_ = running;
    stopRequested_ = false;
    for (QWidget* w : std::initializer_list<QWidget*>{lR, lF, t0, t1, cMajMin, cConfirm, bFin})
        w->setEnabled(!running);
    progress->setVisible(running);
    bArrêter->setVisible(running);
    if (!running)
        lEtat->clear();
    updateButtons();
}

ReplaceRequest frmRemp::request() const {
    return {t0->text(), t1->text(), cMajMin->isChecked(), cConfirm->isChecked()};
}

void frmRemp::bExécuter_Click() {
    if (running_ || t0->text().isEmpty())
        return;
    run(selectedFiles(), request());
}

void frmRemp::bAperçu_Click() {
    if (running_ || t0->text().isEmpty())
        return;
    const QStringList names = selectedFiles();
    if (names.isEmpty()) {
        dialogs_.message(QStringLiteral("Sélectionnez au moins un fichier svp !"), Icon::Exclamation);
        return;
    }
    aperçuRequest_ = request();
    aperçuRequest_.confirm = false;
    aperçuFolder_ = lR->folder();
    QStringList files;
    for (const QString& name : names)
        files.append(aperçuFolder_ + name);
    QList<FilePreview> previews;
    {
        BusyPointer busy(dialogs_);
        previews = previewReplacement(files, aperçuRequest_);
    }
    if (previews.isEmpty()) {
        dialogs_.message(QStringLiteral("Aucune occurrence de \"%1\" dans les fichiers sélectionnés.")
                             .arg(aperçuRequest_.find));
        return;
    }
    delete aperçu_;
    aperçu_ = new QDialog(this);
    aperçu_->setObjectName(QStringLiteral("F_Apercu"));
    aperçu_->setWindowTitle(QStringLiteral("Aperçu du remplacement de \"%1\" par \"%2\"")
                                .arg(aperçuRequest_.find, aperçuRequest_.replacement));
    aperçu_->setAttribute(Qt::WA_DeleteOnClose);
    connect(aperçu_, &QObject::destroyed, this, [this] {
        aperçu_ = nullptr;
        aperçuArbre_ = nullptr;
        aperçuAppliquer_ = nullptr;
    });
    auto* hint = new QLabel(QStringLiteral("Décochez les fichiers à laisser tels quels, puis cliquez sur "
                                           "« Appliquer ». Rien n'est écrit avant."),
                            aperçu_);
    hint->setWordWrap(true);
    aperçuArbre_ = new QTreeWidget(aperçu_);
    aperçuArbre_->setObjectName(QStringLiteral("tAperçu"));
    aperçuArbre_->setColumnCount(3);
    aperçuArbre_->setHeaderLabels(
        {QStringLiteral("Fichier / ligne"), QStringLiteral("Avant"), QStringLiteral("Après")});
    aperçuArbre_->setUniformRowHeights(true);
    for (const FilePreview& p : previews) {
        auto* item = new QTreeWidgetItem(aperçuArbre_);
        item->setData(0, Qt::UserRole, FichierNom(p.file));
        if (p.unrepresentable) {
            // Left unchanged whatever the answer: its encoding cannot hold the replacement.
            item->setText(0, QStringLiteral("%1 : laissé inchangé, son codage ne peut pas représenter le "
                                            "texte de remplacement")
                                 .arg(FichierNom(p.file)));
            item->setFlags(item->flags() & ~(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled));
        } else {
            item->setText(0, QStringLiteral("%1 : %2 remplacement(s)").arg(FichierNom(p.file)).arg(p.count));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Checked);
        }
        for (const LineChange& c : p.lines) {
            auto* line = new QTreeWidgetItem(item);
            line->setText(0, QStringLiteral("ligne %1").arg(c.line));
            line->setText(1, c.before);
            line->setText(2, c.after);
            line->setToolTip(1, c.before);
            line->setToolTip(2, c.after);
        }
    }
    // A file's row takes the whole width; its lines show before and after side by side.
    for (int i = 0; i < aperçuArbre_->topLevelItemCount(); ++i)
        aperçuArbre_->topLevelItem(i)->setFirstColumnSpanned(true);
    aperçuArbre_->expandAll();
    aperçuArbre_->header()->setSectionResizeMode(QHeaderView::Interactive);
    aperçuArbre_->setColumnWidth(0, 90);
    aperçuArbre_->setColumnWidth(1, 330);
    auto* box = new QDialogButtonBox(aperçu_);
    aperçuAppliquer_ = box->addButton(QStringLiteral("&Appliquer"), QDialogButtonBox::AcceptRole);
    aperçuAppliquer_->setObjectName(QStringLiteral("bAppliquer"));
    box->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &frmRemp::aperçuAppliquer);
    connect(box, &QDialogButtonBox::rejected, aperçu_, &QDialog::close);
    auto* layout = new QVBoxLayout(aperçu_);
    layout->addWidget(hint);
    layout->addWidget(aperçuArbre_, 1);
    layout->addWidget(box);
    aperçu_->resize(760, 480);
    aperçu_->open();
}

void frmRemp::aperçuAppliquer() {
    if (!aperçu_ || running_)
        return;
    QStringList names;
    for (int i = 0; i < aperçuArbre_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = aperçuArbre_->topLevelItem(i);
        if ((item->flags() & Qt::ItemIsEnabled) && item->checkState(0) == Qt::Checked)
            names.append(item->data(0, Qt::UserRole).toString());
    }
    aperçu_->close();
    if (names.isEmpty()) {
        dialogs_.message(QStringLiteral("Aucun fichier coché : rien n'a été remplacé."));
        return;
    }
    lR->setFolder(aperçuFolder_);
    run(names, aperçuRequest_);
}

void frmRemp::bAnnuler_Click() {
    const auto last = journal_.lastRun();
    if (running_ || !last)
        return;
    if (!dialogs_.question(QStringLiteral("Annuler le remplacement du %1 ?")
                               .arg(last->toString(QStringLiteral("dd.MM.yyyy à hh:mm:ss"))) +
                           CrLf(2) +
                           QStringLiteral("Les fichiers qu'il a modifiés reprennent leur contenu et leur "
                                          "date d'avant, sauf ceux modifiés depuis.")))
        return;
    {
        BusyPointer busy(dialogs_);
        AnnulerDernierRemplacement(journal_, dialogs_);
    }
    updateButtons();
    lF_Refresh();
}

void frmRemp::run(const QStringList& names, const ReplaceRequest& request) {
    setRunning(true);
    const auto onFile = [this](qsizetype index, qsizetype total, const QString& file) {
        progress->setMaximum(int(total));
        progress->setValue(int(index));
        lEtat->setText(FichierNom(file));
        dialogs_.processEvents();
        return !stopRequested_;
    };
    ReplaceOptions options;
    options.confirmation = this;
    options.progress = onFile;
    options.journal = &journal_;
    RemplacementExécuter(lR->folder(), names, request, dialogs_, options);
    const bool completed = !stopRequested_;
    conf_.reset();
    setRunning(false);
    // A run that went through every file leaves its bar full, so that the end is seen.
    if (completed && progress->maximum() > 0) {
        progress->setValue(progress->maximum());
        progress->show();
    }
    lF_Refresh();
}

void frmRemp::bFin_Click() {
    hide();
    emit finished();
}

void frmRemp::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        FenêtreCentrer(this);
        t0->setFocus();
    }
}

void frmRemp::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Finish the file in hand first: the run stops before the next one.
        stopRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
    // Closed by the user: back to the main window. Closed by the main window as it ends: nothing.
    if (event->spontaneous())
        emit finished();
}

} // namespace qs
