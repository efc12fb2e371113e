// The site-independent parts of the shell: the site folder, the template files, the previous-site entry,
// the stored window geometry and the start-up update check.
#include "shell/shell.h"

#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qs {

namespace {

// The same folder, whichever way it is written (trailing separator, "..", links).
bool sameFolder(const QString& a, const QString& b) {
    auto normal = [](const QString& p) {
        const QFileInfo fi(withoutSeparator(p));
        const QString canonical = fi.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : canonical;
    };
    return normal(a) == normal(b);
}

// Copies one template unless the site already has a file of that name: a folder opened as a site may
// hold files of its own under these names (a logo, an index.txt), and they must not be replaced.
bool copyTemplate(const QString& from, const QString& to) {
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return true;
    return copyFileWhole(from, to, {.sync = true, .keepPermissions = false, .skipUnchanged = false}, nullptr,
                         nullptr);
}

} // namespace

Shell::Shell(MainState& s, ShellHooks h) : state(s), hooks(std::move(h)) {}

void Shell::takerépertoire(const QString& adresse) {
    state.values.Répertoire = FichierRépertoire(adresse) + sep();
    ParamètreEcrire(QStringLiteral("Répertoire"), state.values.Répertoire);
}

void Shell::BaseCopy() {
    const QString site = state.values.Répertoire;
    const QString program = withSeparator(state.programFolder);
    const QString marker = site + QStringLiteral("head_d.txt");
    if (!sameFolder(site, program) && !FichierExiste(marker)) {
        DossierCréer(site + QStringLiteral("images"));
        copyTemplate(program + QStringLiteral("logo.gif"),
                     site + QStringLiteral("images") + sep() + QStringLiteral("logo.gif"));
    }
    if (FichierExiste(marker))
        return;
    // The first template that cannot be copied ends the copying: the site keeps what it received.
    for (const char16_t* name : {u"head_d.txt", u"foot_d.txt", u"head_c.txt", u"foot_c.txt", u"index.txt"}) {
        const QString file = QString::fromUtf16(name);
        if (!copyTemplate(program + file, site + file))
            break;
    }
}

void Shell::Mru() {
    const QString last = ParamètreLire(QStringLiteral("LastOpen"));
    if (last.isEmpty()) {
        mnuFileMRU.visible = false;
    } else {
        mnuFileMRU.caption = QStringLiteral("&1  ") + last;
        mnuFileMRU.tag = last;
        mnuFileMRU.visible = true;
    }
    state.notify();
}

QString Shell::htmlFilter() {
    return QStringLiteral("Fichiers HTML (*.htm *.html *.shtm *.shtml)");
}

void Shell::applyReadOnly() {
    const bool editable = state.values.editMode == EditMode::Editable;
    state.controls.tModifierVisible = editable;
    state.controls.tSupprimerVisible = editable;
    state.notify();
}

void Shell::setTypesFromLevels() {
    const ProgramValues& v = state.values;
    const QString* levels[] = {&v.NivImg, &v.NivZip, &v.NivExe, &v.NivCgi, &v.NivSnd};
    for (size_t i = 0; i < state.controls.cType.size(); ++i)
        state.controls.cType[i] = levels[i]->trimmed().toInt() == 1;
    state.notify();
}

namespace {
const char16_t* const kGeometryKeys[] = {u"MainLeft", u"MainTop", u"MainWidth", u"MainHeight"};
}

std::optional<WindowGeometry> storedGeometry() {
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = ParamètreLire(QString::fromUtf16(kGeometryKeys[i])).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return WindowGeometry{values[0], values[1], values[2], values[3]};
}

void storeGeometry(const WindowGeometry& g) {
    const int values[] = {g.left, g.top, g.width, g.height};
    for (int i = 0; i < 4; ++i)
        ParamètreEcrire(QString::fromUtf16(kGeometryKeys[i]), values[i]);
}

std::optional<QRect> geometryToRestore(const std::optional<WindowGeometry>& stored, const QSize& minimum,
                                       const QList<QRect>& screens) {
    if (!stored || stored->width < minimum.width() || stored->height < minimum.height())
        return std::nullopt;
    const QRect rect(stored->left, stored->top, stored->width, stored->height);
    // The top strip must be reachable, or the user could not move the window back.
    const QRect titleBar(rect.left(), rect.top(), rect.width(), 30);
    for (const QRect& screen : screens) {
        const QRect common = screen.intersected(titleBar);
        if (common.width() >= 100 && common.height() >= 10)
            return rect;
    }
    return std::nullopt;
}

namespace {
UpdateProcedure& installedUpdate() {
    static UpdateProcedure procedure;
    return procedure;
}
} // namespace

void setUpdateProcedure(UpdateProcedure procedure) {
    installedUpdate() = std::move(procedure);
}

const UpdateProcedure& updateProcedure() {
    return installedUpdate();
}

QString publishMarker(const QString& programFolder, const QString& programName) {
    return withSeparator(programFolder) + programName + QStringLiteral(".publish");
}

bool startupUpdate(const QString& programFolder, const QString& programName, Dialogs& dialogs,
                   const UpdateProcedure& procedure) {
    if (!procedure || !FichierExiste(publishMarker(programFolder, programName)))
        return true;
    return procedure(dialogs);
}

} // namespace qs
