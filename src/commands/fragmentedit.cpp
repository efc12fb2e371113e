#include "commands/fragmentedit.h"

#include "commands/mainstate.h"
#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"

namespace qs {

namespace {

QString& textOf(MainState& state, Fragment fragment) {
    switch (fragment) {
    case Fragment::HeadD:
        return state.homeHeader;
    case Fragment::FootD:
        return state.homeFooter;
    case Fragment::HeadC:
        return state.categoryListHeader;
    case Fragment::FootC:
        break;
    }
    return state.categoryListFooter;
}

bool send(MainState& state, Fragment fragment) {
    QString error;
    const auto text = readFragment(state.values.Répertoire + fragmentFileName(fragment), &error);
    textOf(state, fragment) = text.value_or(QString());
    if (!text)
        state.dialogs.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
    return text.has_value();
}

} // namespace

bool sendheaderd(MainState& state) {
    return send(state, Fragment::HeadD);
}
bool sendfooterd(MainState& state) {
    return send(state, Fragment::FootD);
}
bool sendheaderc(MainState& state) {
    return send(state, Fragment::HeadC);
}
bool sendfooterc(MainState& state) {
    return send(state, Fragment::FootC);
}

bool fragmentEdit(MainState& state, Fragment fragment) {
    if (!send(state, fragment))
        return false;
    state.fragmentPath = state.values.Répertoire + fragmentFileName(fragment);
    // The box shows the text as the generators use it, with its leading line break: saving it unchanged
    // thus adds an empty first line, which the pages render the same.
    const QString text = textOf(state, fragment);
    ControlState& c = state.controls;
    const QString elsewhere = isHeader(fragment) ? QStringLiteral("C'est en haut qu'il faut écrire !")
                                                 : QStringLiteral("C'est en bas qu'il faut écrire !");
    c.tTexteHead = isHeader(fragment) ? text : elsewhere;
    c.tTexteFoot = isHeader(fragment) ? elsewhere : text;
    c.tTexteHeadEnabled = isHeader(fragment);
    c.tTexteFootEnabled = !isHeader(fragment);
    c.tTexte = elsewhere;
    c.tTexteEnabled = false;
    c.HFOKVisible = true;
    c.tAnnulerVisible = true;
    c.tAnnulerEnabled = true;
    c.catalogueTabEnabled = false;
    c.currentTab = Tab::Editor;
    state.notify();
    return true;
}

bool HFOK_Click(MainState& state) {
    // The fragment opened is the one saved, even if the site folder changed meanwhile: its file name says
    // which box holds its text.
    const QString path = state.fragmentPath;
    const QString name = FichierNom(path);
    QString text;
    if (name == fragmentFileName(Fragment::HeadD) || name == fragmentFileName(Fragment::HeadC))
        text = state.controls.tTexteHead;
    else if (name == fragmentFileName(Fragment::FootD) || name == fragmentFileName(Fragment::FootC))
        text = state.controls.tTexteFoot;
    else
        return false; // no fragment is being edited
    // The box may hold LF or CR line ends; the file's lines end with CR LF like every file of the site.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    // Refused, the editing state stays: nothing typed is lost.
    const SiteLock lock(FichierRépertoire(path));
    if (lockRefused(lock, state.dialogs))
        return false;
    QString error;
    if (!writeText(path, text, &error)) {
        state.dialogs.message(error, Icon::Exclamation, QStringLiteral("Erreur"));
        return false;
    }
    fragmentEditEnd(state);
    return true;
}

void fragmentEditEnd(MainState& state) {
    ControlState& c = state.controls;
    c.HFOKVisible = false;
    c.tAnnulerVisible = false;
    c.tAnnulerEnabled = false;
    c.tTexteHeadEnabled = true;
    c.tTexteFootEnabled = true;
    c.tTexteEnabled = true;
    c.catalogueTabEnabled = true;
    c.currentTab = Tab::Catalogue;
    // Back to browsing with nothing left over: neither the fragment nor the notes stay in the boxes, and
    // no page is shown, so "Modifier" and "Supprimer" wait until one is shown from disk again.
    c.tTexteHead.clear();
    c.tTexteFoot.clear();
    c.tTexte.clear();
    c.tTitre.clear();
    c.tModifierEnabled = false;
    c.tSupprimerEnabled = false;
    state.fragmentPath.clear();
    state.notify();
}

} // namespace qs
