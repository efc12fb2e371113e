// The Dialogs port on real windows: each box is found while it runs, checked and answered.
#include "lib/translations.h"
#include "ui/qtdialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace qs;

namespace {

// Answers the next modal box once it shows: `act` checks and closes it.
void whenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start();
}

QStringList buttonTexts(QMessageBox* box) {
    QStringList out;
    for (QAbstractButton* b : box->buttons())
        out.append(b->text());
    out.sort();
    return out;
}

} // namespace

TEST(QtDialogs, MessagesAndQuestionsShowTheirTextIconTitleAndButtons) {
    QApplication::setApplicationDisplayName(QStringLiteral("Quillsite"));
    // As the program does at start-up: Qt's own buttons ("Show Details...") in French too.
    ASSERT_TRUE(installFrenchTranslations(*QApplication::instance()));
    using B = QMessageBox;
    const struct {
        int kind; // 0 message, 1 question, 2 question whose default is No, 3 question with details
        Icon icon;
        const char* title;
        B::Icon boxIcon;
        const char* shownTitle;
        B::StandardButton press, defaultButton;
    } rows[] = {
        {0, Icon::Exclamation, "", B::Warning, "Quillsite", B::Ok, B::Ok},
        {0, Icon::None, "Titre", B::NoIcon, "Titre", B::Ok, B::Ok},
        {1, Icon::Question, "", B::Question, "Quillsite", B::Yes, B::Yes},
        {1, Icon::Critical, "Attention", B::Critical, "Attention", B::No, B::Yes},
        {2, Icon::Exclamation, "", B::Warning, "Quillsite", B::Yes, B::No},
        {3, Icon::Question, "", B::Question, "Quillsite", B::No, B::Yes},
        {3, Icon::Question, "Liens", B::Question, "Liens", B::Yes, B::Yes},
    };
    QtDialogs dialogs;
    int beforeModal = 0;
    dialogs.setBeforeModal([&] { ++beforeModal; });
    for (const auto& r : rows) {
        SCOPED_TRACE(r.kind);
        const QString text = QStringLiteral("Le fichier \"é.htm\" est introuvable.\r\n\r\nRéessayer ?");
        bool seen = false;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            seen = true;
            EXPECT_EQ(box->text(), text) << buttonTexts(box).join(u'|').toStdString();
            EXPECT_EQ(box->icon(), r.boxIcon);
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8(r.shownTitle));
            QStringList buttons = r.kind == 0 ? QStringList{"OK"} : QStringList{"&Non", "&Oui"};
            if (r.kind == 3)
                buttons.append(QStringLiteral("Montrer les détails..."));
            EXPECT_EQ(buttonTexts(box), buttons);
            if (r.kind != 0) {
                EXPECT_EQ(box->defaultButton(), box->button(r.defaultButton));
            }
            EXPECT_EQ(box->detailedText(), r.kind == 3 ? QStringLiteral("a.htm\nb.htm") : QString());
            box->button(r.press)->click();
        });
        const bool result =
            r.kind == 3   ? dialogs.questionWithDetails(text, QStringLiteral("a.htm\nb.htm"),
                                                        QString::fromUtf8(r.title))
            : r.kind == 2 ? dialogs.questionNoByDefault(text, r.icon, QString::fromUtf8(r.title))
            : r.kind == 1 ? dialogs.question(text, r.icon, QString::fromUtf8(r.title))
                          : (dialogs.message(text, r.icon, QString::fromUtf8(r.title)), false);
        EXPECT_TRUE(seen);
        EXPECT_EQ(result, r.press == B::Yes);
    }
    EXPECT_EQ(beforeModal, 7);
    // Closing a question without an answer is No.
    whenModal([](QWidget* w) { w->close(); });
    EXPECT_FALSE(dialogs.question(QStringLiteral("Continuer ?")));
}

TEST(QtDialogs, PromptShowsTheDefaultAndGivesBackTheTrimmedAnswer) {
    QtDialogs dialogs;
    // What is typed, whether it is accepted, and the answer given back.
    for (const auto& [typed, accept, result] :
         {std::tuple{"  Réseaux  ", true, "Réseaux"}, std::tuple{"   ", true, ""},
          std::tuple{"Réseaux", false, ""}}) {
        whenModal([typed = typed, accept = accept](QWidget* w) {
            auto* dlg = qobject_cast<QInputDialog*>(w);
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->labelText(), QStringLiteral("Nom du nouveau domaine :"));
            EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Domaine"));
            EXPECT_EQ(dlg->textValue(), QStringLiteral("Défaut"));
            EXPECT_EQ(dlg->okButtonText(), QStringLiteral("OK"));
            EXPECT_EQ(dlg->cancelButtonText(), QStringLiteral("Annuler"));
            dlg->setTextValue(QString::fromUtf8(typed));
            accept ? dlg->accept() : dlg->reject();
        });
        EXPECT_EQ(dialogs.prompt(QStringLiteral("Nom du nouveau domaine :"), QStringLiteral("Domaine"),
                                 QStringLiteral("Défaut")),
                  QString::fromUtf8(result));
    }
}

TEST(QtDialogs, BusyPointerNestsAndStatusGoesToItsSink) {
    QtDialogs dialogs;
    QStringList shown;
    dialogs.setStatusSink([&](const QString& t) { shown.append(t); });
    {
        BusyPointer outer(dialogs);
        {
            BusyPointer inner(dialogs);
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
            // A box shows the normal pointer, and the hourglass comes back after it.
            whenModal([](QWidget* w) {
                EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                w->close();
            });
            dialogs.message(QStringLiteral("Fini."));
            EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        dialogs.status(QStringLiteral("Copie de 3 fichiers..."));
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Copie de 3 fichiers...")});
}
