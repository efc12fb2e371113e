#include "tools/fconf.h"

#include "lib/helpers.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace qs {

F_Conf::F_Conf(QWidget* parent)
    : QDialog(parent), tF(new QLineEdit(this)), tTxt(new QPlainTextEdit(this)), tR(new QLineEdit(this)),
      bOui(new QPushButton(QStringLiteral("&Oui"), this)),
      bNon(new QPushButton(QStringLiteral("&Non"), this)) {
    setObjectName(QStringLiteral("F_Conf"));
    setWindowTitle(ProgrammeID());
    setModal(true);
    tF->setObjectName(QStringLiteral("tF"));
    tTxt->setObjectName(QStringLiteral("tTxt"));
    tR->setObjectName(QStringLiteral("tR"));
    bOui->setObjectName(QStringLiteral("bOui"));
    bNon->setObjectName(QStringLiteral("bNon"));
    for (QLineEdit* e : {tF, tR})
        e->setReadOnly(true);
    tTxt->setReadOnly(true);
    tTxt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    tTxt->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The occurrence stays highlighted although the focus sits on the buttons.
    QPalette palette = tTxt->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    tTxt->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Confirmez-vous le remplacement suivant ?"), this));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Fichier"), tF);
    form->addRow(QStringLiteral("Ligne"), tTxt);
    form->addRow(QStringLiteral("Par"), tR);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(bOui, QDialogButtonBox::YesRole);
    buttons->addButton(bNon, QDialogButtonBox::NoRole);
    layout->addWidget(buttons);
    bOui->setDefault(true);
    resize(560, 300);

    connect(bOui, &QPushButton::clicked, this, &F_Conf::bOui_Click);
    connect(bNon, &QPushButton::clicked, this, &F_Conf::bNon_Click);
}

void F_Conf::fill(const QString& file, const QString& line, qsizetype start, qsizetype length,
                  const QString& replacement) {
    tag_.clear();
    tF->setText(file);
    tR->setText(replacement);
    tTxt->setPlainText(line);
    QTextCursor cursor = tTxt->textCursor();
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
    tTxt->setTextCursor(cursor);
    tTxt->ensureCursorVisible();
}

bool F_Conf::Confirm(const QString& file, const QString& line, qsizetype start, qsizetype length,
                     const QString& replacement) {
    fill(file, line, start, length, replacement);
    bOui->setFocus();
    exec();
    return tag_ == u"OUI";
}

void F_Conf::bOui_Click() {
    tag_ = QStringLiteral("OUI");
    hide();
    done(Accepted);
}

void F_Conf::bNon_Click() {
    tag_ = QStringLiteral("NON");
    hide();
    done(Rejected);
}

} // namespace qs
