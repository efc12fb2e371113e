#include "check/verifierwindow.h"

#include "check/report.h"
#include "lib/dialogs.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace qs {

namespace {
enum Column { KindColumn, PageColumn, LineColumn, LinkColumn };
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kSortRole = Qt::UserRole + 2; // what a column sorts by: the text, or the line as a number
} // namespace

VerifierWindow::VerifierWindow(const QString& root, Dialogs& dialogs, ShowPage showPage, QWidget* parent)
    : QDialog(parent), root_(root), dialogs_(dialogs), showPage_(std::move(showPage)) {
    setObjectName(QStringLiteral("frmVerifier"));
    setWindowTitle(QStringLiteral("Vérifier le site"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lStatus"));
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("pProgress"));
    model_ = new QStandardItemModel(0, 4, this);
    model_->setHorizontalHeaderLabels(
        {QStringLiteral("Type"), QStringLiteral("Page"), QStringLiteral("Ligne"), QStringLiteral("Lien")});
    model_->setSortRole(kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tProblemes"));
    table_->setModel(model_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setToolTip(QStringLiteral("Double-cliquez sur une ligne pour afficher la page"));
    connect(table_, &QTableView::doubleClicked, this, &VerifierWindow::openRow);

    auto* buttons = new QDialogButtonBox(this);
    again_ = buttons->addButton(QStringLiteral("&Vérifier"), QDialogButtonBox::ActionRole);
    again_->setObjectName(QStringLiteral("bVerifier"));
    stop_ = buttons->addButton(QStringLiteral("&Arrêter"), QDialogButtonBox::ActionRole);
    stop_->setObjectName(QStringLiteral("bArreter"));
    fix_ = buttons->addButton(QStringLiteral("&Corriger la casse"), QDialogButtonBox::ActionRole);
    fix_->setObjectName(QStringLiteral("bCorriger"));
    auto* close = buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("bFermer"));
    for (QPushButton* b : {again_, stop_, fix_, close})
        b->setAutoDefault(false);
    connect(again_, &QPushButton::clicked, this, &VerifierWindow::run);
    connect(stop_, &QPushButton::clicked, this, [this] { stopAsked_ = true; });
    connect(fix_, &QPushButton::clicked, this, &VerifierWindow::fixCaseClicked);
    connect(close, &QPushButton::clicked, this, &VerifierWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(760, 480);
    stop_->setEnabled(false);
    fix_->setEnabled(false);
}

void VerifierWindow::run() {
    if (running_)
        return;
    if (root_.isEmpty()) {
        status_->setText(QStringLiteral("Aucun site n'est ouvert."));
        return;
    }
    running_ = true;
    stopAsked_ = false;
    again_->setEnabled(false);
    fix_->setEnabled(false);
    stop_->setEnabled(true);
    model_->removeRows(0, model_->rowCount());
    status_->setText(QStringLiteral("Vérification de %1...").arg(root_));
    QElapsedTimer shown;
    check_ = verifySite(root_, [&](int done, int total) {
        if (!shown.isValid() || shown.elapsed() >= 30) {
            progress_->setMaximum(total);
            progress_->setValue(done);
            dialogs_.processEvents();
            shown.start();
        }
        return !stopAsked_;
    });
    running_ = false;
    showResult();
}

void VerifierWindow::showResult() {
    progress_->setMaximum(qMax(1, check_.pages));
    progress_->setValue(check_.stopped ? progress_->value() : progress_->maximum());
    table_->setSortingEnabled(false);
    model_->removeRows(0, model_->rowCount());
    int mismatches = 0;
    for (const Problem& p : std::as_const(check_.problems)) {
        auto* kind = new QStandardItem(kindName(p.kind));
        kind->setToolTip(kindTitle(p.kind));
        kind->setData(root_ + p.page, kPathRole);
        // A problem of a whole file (an orphan page, say) has no line: its cell stays empty.
        auto* line = new QStandardItem(p.line > 0 ? QString::number(p.line) : QString());
        line->setData(p.line, kSortRole);
        auto* page = new QStandardItem(p.page);
        auto* link = new QStandardItem(p.link);
        if (!p.target.isEmpty())
            link->setToolTip(p.target);
        for (QStandardItem* text : {kind, page, link})
            text->setData(text->text(), kSortRole);
        model_->appendRow({kind, page, line, link});
        mismatches += p.kind == Problem::CaseMismatch;
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    status_->setText(summaryOf(check_));
    again_->setEnabled(true);
    stop_->setEnabled(false);
    fix_->setEnabled(mismatches > 0);
}

void VerifierWindow::openRow(const QModelIndex& index) {
    if (!index.isValid() || !showPage_)
        return;
    showPage_(model_->index(index.row(), KindColumn).data(kPathRole).toString());
}

void VerifierWindow::fixCaseClicked() {
    int count = 0;
    for (const Problem& p : std::as_const(check_.problems))
        count += p.kind == Problem::CaseMismatch;
    if (count == 0 || running_)
        return;
    if (!dialogs_.question(QStringLiteral("Récrire %1 lien(s) avec le nom exact de leur fichier ?\r\n\r\n"
                                          "Les pages gardent leur date ; rien d'autre n'y change.")
                               .arg(count)))
        return;
    QStringList errors;
    const QList<CaseFix> fixes = fixCase(root_, check_.problems, &errors);
    QString text = QStringLiteral("%1 lien(s) corrigé(s).").arg(fixes.size());
    if (!errors.isEmpty())
        text += QStringLiteral("\r\n\r\n") + errors.join(QStringLiteral("\r\n"));
    dialogs_.message(text, errors.isEmpty() ? Icon::Information : Icon::Exclamation);
    run();
}

void VerifierWindow::reject() {
    if (running_) {
        stopAsked_ = true;
        return;
    }
    QDialog::reject();
}

void VerifierWindow::closeEvent(QCloseEvent* event) {
    if (running_) {
        stopAsked_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace qs
