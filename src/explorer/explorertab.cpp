#include "explorer/explorertab.h"

#include "commands/mainstate.h"
#include "explorer/address.h"
#include "explorer/ascii.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace qs {

namespace {

// A start address that may be explored: a page by its extension (existing or not), or a web address.
bool explorable(const QString& text) {
    if (text.trimmed().isEmpty())
        return false;
    const QString ext = FichierExtension(text);
    for (QStringView page : {u".HTM", u".HTML", u".SHTM", u".SHTML"})
        if (ascii::equalsUpper(QStringView(ext), page))
            return true;
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0)
        return false;
    const QStringView scheme = QStringView(text).first(colon + 1);
    return ascii::equalsUpper(scheme, u"HTTP:") || ascii::equalsUpper(scheme, u"HTTPS:") ||
           ascii::equalsUpper(scheme, u"SHTTP:") || ascii::equalsUpper(scheme, u"FTP:");
}

bool defaultLauncher(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

} // namespace

QStringList NoeudsMenu::texts() {
    return {QStringLiteral("Précédent"), QStringLiteral("Origine"),  QStringLiteral("Suivant"),
            QStringLiteral("-"),         QStringLiteral("Déployer"), editCaption()};
}

QString NoeudsMenu::editCaption() {
    const QStringList command = textEditorCommand(QString());
    if (command.isEmpty())
        return QStringLiteral("Éditer");
    return QStringLiteral("Éditer avec %1").arg(QFileInfo(command.first()).completeBaseName());
}

QStringList textEditorCommand(const QString& path) {
    const QString chosen = ParamètreLire(QStringLiteral("EditeurTexte")).trimmed();
    if (!chosen.isEmpty()) {
        QStringList command = QProcess::splitCommand(chosen);
        if (!command.isEmpty())
            return command << path;
    }
#ifdef Q_OS_WIN
    return {QStringLiteral("notepad.exe"), path};
#else
    static const char* const editors[] = {"gnome-text-editor", "gedit", "kate", "kwrite",
                                          "mousepad",          "pluma", "xed",  "featherpad",
                                          "leafpad",           "geany"};
    for (const char* name : editors) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return {found, path};
    }
#ifdef Q_OS_MACOS
    return {QStringLiteral("open"), QStringLiteral("-t"), path};
#else
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return {opener, path};
    return {};
#endif
#endif
}

ExplorerTab::ExplorerTab(MainState& state, QObject* parent)
    : QObject(parent), state_(state), selection_(&tree_), walker_(tree_, state.dialogs),
      launcher_(defaultLauncher) {}

void ExplorerTab::tFichier_Change(const QString& text) {
    state_.controls.tFichier = text;
    const bool exists = FichierExiste(text);
    if (exists)
        ParamètreEcrire(QStringLiteral("Dossier"), text);
    // While a walk runs the button is the stop button: editing the address must not disable it.
    if (!running_) {
        controls_.bExplorerDefault = exists;
        controls_.bExplorerEnabled = explorable(text);
    }
    notify();
}

void ExplorerTab::bExplorer_Click() {
    if (running_) {
        tree_.setTag(QStringLiteral("STOP"));
        controls_.bExplorerEnabled = false;
        notify();
        return;
    }
    startWalk();
}

void ExplorerTab::beginRun() {
    running_ = true;
    tree_.setTag(QString());
    controls_.bExplorerCaption = QStringLiteral("Arrêter");
    controls_.bExplorerEnabled = true;
    controls_.toolBarButton3Enabled = true;
    controls_.bExplorerCancel = true;
    controls_.bExplorerDefault = false;
    walker_.types.on = state_.controls.cType;
    walker_.limit = DepthLimit::parse(state_.values.NiveauRep);
    notify();
}

void ExplorerTab::endRun() {
    running_ = false;
    controls_.bExplorerCaption = QStringLiteral("Explorer");
    controls_.toolBarButton3Enabled = false;
    controls_.bExplorerEnabled = true;
    controls_.bExplorerCancel = false;
    controls_.bExplorerDefault = true;
    notify();
}

void ExplorerTab::startWalk() {
    do {
        restartPending_ = false;
        beginRun();
        const QString address = state_.controls.tFichier;
        tree_.clear();
        Node* root = tree_.add(nullptr, address, address, QStringLiteral("htm"));
        walker_.Explorer(root);
        endRun();
        select(tree_.find(address));
        state_.dialogs.beep();
    } while (restartPending_);
}

void ExplorerTab::exploreHome() {
    const QString address = state_.values.Adresse;
    if (address.isEmpty())
        return;
    state_.controls.tFichier = address;
    state_.notify();
    press();
    WWW(state_, state_.controls.tFichier);
}

void ExplorerTab::press() {
    tFichier_Change(state_.controls.tFichier);
    if (running_) {
        // Called from within the running walk (its pending events): it unwinds, then starts again.
        restartPending_ = true;
        tree_.setTag(QStringLiteral("STOP"));
    } else {
        startWalk();
    }
}

ExplorerTab::Node* ExplorerTab::selectedNode() const {
    return tree_.node(selection_.currentIndex());
}

void ExplorerTab::select(const Node* node) {
    const QModelIndex index = tree_.indexOf(node);
    if (index.isValid())
        selection_.setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

bool ExplorerTab::selectKey(const QString& key) {
    const Node* node = tree_.find(key);
    if (!node)
        return false;
    select(node);
    return true;
}

void ExplorerTab::N_DblClick() {
    const Node* node = selectedNode();
    if (!node)
        return;
    const QString base = baseKey(node->key);
    if (isPagePath(base)) {
        WWW(state_, base);
        state_.controls.currentTab = Tab::Explorer;
        state_.notify();
    }
    // During a walk the button stays the stop button; otherwise this only confirms its rest state.
    if (!running_) {
        controls_.bExplorerCaption = QStringLiteral("Explorer");
        controls_.toolBarButton3Enabled = false;
        notify();
    }
}

std::optional<NoeudsMenu> ExplorerTab::N_MouseUp(const QModelIndex& at) {
    const Node* node = tree_.node(at);
    if (!node)
        return std::nullopt;
    select(node);
    const QString base = baseKey(node->key);
    const bool exists = FichierExiste(base);
    NoeudsMenu menu;
    menu.enabled[NoeudsMenu::Previous] = node->key.endsWith(u'>');
    menu.enabled[NoeudsMenu::Origin] = true;
    menu.enabled[NoeudsMenu::Next] = true;
    // A walk cannot start inside another one.
    menu.enabled[NoeudsMenu::Deploy] = !node->expanded && exists && !running_;
    menu.enabled[NoeudsMenu::Edit] = isPagePath(base) && exists;
    return menu;
}

void ExplorerTab::mN_Click(NoeudsMenu::Item item) {
    Node* node = selectedNode();
    if (!node)
        return;
    const QString base = baseKey(node->key);
    const int n = occurrence(node->key);
    switch (item) {
    case NoeudsMenu::Previous:
        if (n == 0 || !selectKey(occurrenceKey(base, n - 1)))
            state_.dialogs.beep();
        break;
    case NoeudsMenu::Origin:
        if (n == 0)
            state_.dialogs.message(node->key);
        else if (!selectKey(base))
            state_.dialogs.beep();
        break;
    case NoeudsMenu::Next:
        if (!selectKey(occurrenceKey(base, n + 1)))
            state_.dialogs.beep();
        break;
    case NoeudsMenu::Deploy:
        deploy(node);
        break;
    case NoeudsMenu::Edit:
        edit(node);
        break;
    case NoeudsMenu::Separator:
        break;
    }
}

void ExplorerTab::deploy(Node* node) {
    Node* page = tree_.find(baseKey(node->key));
    if (running_ || !page) {
        state_.dialogs.beep();
        return;
    }
    beginRun();
    walker_.Explorer(page, node);
    endRun();
}

void ExplorerTab::edit(Node* node) {
    const QString path = baseKey(node->key);
    const QStringList command = textEditorCommand(path);
    if (command.isEmpty()) {
        state_.dialogs.message(QStringLiteral("Je ne trouve aucun éditeur de texte pour ouvrir le fichier "
                                              "\"%1\".%2Indiquez-en un dans le paramètre \"EditeurTexte\".")
                                   .arg(path, CrLf(2)),
                               Icon::Exclamation);
        return;
    }
    if (!launcher_(command.first(), command.mid(1)))
        state_.dialogs.message(QStringLiteral("Je ne peux pas lancer l'éditeur de texte \"%1\" pour le "
                                              "fichier \"%2\".")
                                   .arg(command.first(), path),
                               Icon::Exclamation);
}

void ExplorerTab::mnuViewArbre_Click() {
    controls_.treeVisible = !controls_.treeVisible;
    notify();
}

} // namespace qs
