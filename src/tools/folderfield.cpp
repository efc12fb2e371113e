#include "tools/folderfield.h"

#include "lib/files.h"

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace qs {

FolderField::FolderField(Dialogs& dialogs, QString chooserTitle, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), title_(std::move(chooserTitle)), edit_(new QLineEdit(this)),
      button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    button_->setText(QStringLiteral("…"));
    button_->setToolTip(QStringLiteral("Choisir un dossier"));

    auto* completer = new QCompleter(this);
    auto* model = new QFileSystemModel(completer);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model->setRootPath(QString());
    completer->setModel(model);
    edit_->setCompleter(completer);

    connect(button_, &QToolButton::clicked, this, &FolderField::choose);
    connect(edit_, &QLineEdit::editingFinished, this, &FolderField::takeTyped);
}

void FolderField::setFolder(const QString& folder) {
    const QString value = folder.isEmpty() ? QString() : withSeparator(QDir::cleanPath(folder));
    edit_->setText(QDir::toNativeSeparators(value));
    if (value == folder_)
        return;
    folder_ = value;
    emit folderChanged(folder_);
}

void FolderField::choose() {
    const QString chosen = dialogs_.chooseFolder(title_, folder_);
    if (!chosen.isEmpty())
        setFolder(chosen);
}

void FolderField::takeTyped() {
    const QString typed = QDir::fromNativeSeparators(edit_->text().trimmed());
    if (typed.isEmpty() || withSeparator(QDir::cleanPath(typed)) == folder_) {
        edit_->setText(QDir::toNativeSeparators(folder_));
        return;
    }
    if (!DossierExiste(typed)) {
        dialogs_.beep();
        edit_->setText(QDir::toNativeSeparators(folder_));
        return;
    }
    setFolder(QFileInfo(typed).absoluteFilePath());
}

} // namespace qs
