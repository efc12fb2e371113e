#include "shellfixture.h"

#include "lib/files.h"
#include "lib/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace qs::test {

ShellFixture::ShellFixture() : clock(QDateTime(QDate(2026, 12, 5), QTime(9, 7)), "mdupont") {
    QSettings("Vendrel", "quillsite").clear();
    program = temp("programme/");
    makeDir(program);
    for (const char* name : {"logo.gif", "head_d.txt", "foot_d.txt", "head_c.txt", "foot_c.txt", "index.txt"})
        QFile::copy(QStringLiteral(QUILLSITE_SOURCE_DIR "/templates/") + QLatin1String(name),
                    program + QLatin1String(name));
    state = std::make_unique<MainState>(dialogs, clock, program);
    QObject::connect(state.get(), &MainState::browse, [this](const QString& a) { browsed.append(a); });
    ShellHooks hooks;
    hooks.dAjouter = [this] {
        ++domainPrompts;
        const QString name = domainsToAdd.isEmpty() ? QString() : domainsToAdd.takeFirst();
        if (name.isEmpty())
            return;
        DossierCréer(state->values.Répertoire + name + "/C");
        state->dListe.select(state->dListe.add(name));
    };
    hooks.bExplorer = [this] { ++explored; };
    hooks.showWindow = [this] { ++windowShown; };
    hooks.endProgram = [this] { ++endRequests; };
    shell = std::make_unique<Shell>(*state, hooks);
}

ShellFixture::~ShellFixture() {
    QSettings("Vendrel", "quillsite").clear();
}

QString ShellFixture::makeSite(const QString& name, const QStringList& domains) const {
    const QString root = temp("sites/" + name + u'/');
    makeDir(root);
    for (const QString& d : domains)
        makeDir(root + d + "/C");
    return root;
}

void ShellFixture::storeSite(const QString& address) const {
    ParamètreEcrire("Adresse", address);
}

QString ShellFixture::setting(const char* key) {
    return ParamètreLire(QString::fromUtf8(key));
}

QString ShellFixture::settings(const QString& keys) {
    QStringList out;
    for (const QString& key : keys.split(u' '))
        out.append(key + u'=' + ParamètreLire(key));
    return out.join(u' ');
}

void ShellFixture::store(const char* key, const QString& value) {
    ParamètreEcrire(QString::fromUtf8(key), value);
}

} // namespace qs::test
