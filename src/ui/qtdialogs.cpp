#include "ui/qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qs {

QtDialogs::QtDialogs(QWidget* parent) : parent_(parent) {}

QString QtDialogs::titleOr(const QString& title) const {
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

void QtDialogs::aboutToShow() {
    if (beforeModal_)
        beforeModal_();
}

namespace {

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Modal boxes show the normal pointer even while busy work is under way.
class NormalPointer {
public:
    NormalPointer() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalPointer() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

void QtDialogs::message(const QString& text, Icon icon, const QString& title) {
    aboutToShow();
    NormalPointer normal;
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::question(const QString& text, Icon icon, const QString& title) {
    return ask(text, icon, title, true);
}

bool QtDialogs::questionNoByDefault(const QString& text, Icon icon, const QString& title) {
    return ask(text, icon, title, false);
}

bool QtDialogs::ask(const QString& text, Icon icon, const QString& title, bool yesByDefault) {
    aboutToShow();
    NormalPointer normal;
    QMessageBox box(boxIcon(icon), titleOr(title), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::questionWithDetails(const QString& text, const QString& details, const QString& title) {
    aboutToShow();
    NormalPointer normal;
    QMessageBox box(QMessageBox::Question, titleOr(title), text, QMessageBox::Yes | QMessageBox::No, parent_);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Oui"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Non"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    box.setDetailedText(details);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::prompt(const QString& text, const QString& title, const QString& defaultAnswer) {
    aboutToShow();
    NormalPointer normal;
    QInputDialog dlg(parent_);
    dlg.setWindowTitle(titleOr(title));
    dlg.setLabelText(text);
    dlg.setTextValue(defaultAnswer);
    dlg.setOkButtonText(QStringLiteral("OK"));
    dlg.setCancelButtonText(QStringLiteral("Annuler"));
    // Wide enough for its title, which says what is asked (the window manager adds the program's name
    // and its buttons): the dialog's own layout takes its width from the text box.
    if (auto* edit = dlg.findChild<QLineEdit*>()) {
        const QString shown =
            dlg.windowTitle() + QStringLiteral(" — ") + QGuiApplication::applicationDisplayName();
        edit->setMinimumWidth(std::max(280, dlg.fontMetrics().horizontalAdvance(shown) + 100));
    }
    if (dlg.exec() != QDialog::Accepted)
        return {};
    return dlg.textValue().trimmed();
}

QString QtDialogs::openFile(const QString& title, const QString& folder, const QString& filter) {
    aboutToShow();
    NormalPointer normal;
    return QFileDialog::getOpenFileName(parent_, titleOr(title), folder, filter);
}

QString QtDialogs::chooseFolder(const QString& title, const QString& folder) {
    aboutToShow();
    NormalPointer normal;
    return QFileDialog::getExistingDirectory(parent_, titleOr(title), folder);
}

void QtDialogs::beep() {
    QApplication::beep();
}

void QtDialogs::status(const QString& text) {
    if (statusSink_)
        statusSink_(text);
}

void QtDialogs::processEvents() {
    if (lastEvents_.isValid() && lastEvents_.elapsed() < 30)
        return;
    lastEvents_.start();
    QCoreApplication::processEvents();
}

void QtDialogs::setBusy(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void FenêtreCentrer(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QRect frame = window->frameGeometry();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

} // namespace qs
