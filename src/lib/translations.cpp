#include "lib/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qs {

bool installFrenchTranslations(QCoreApplication& app) {
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    bool base = false;
    for (const char* catalogue : {"qtbase", "qtwebengine"}) {
        auto* translator = new QTranslator(&app);
        bool loaded = false;
        for (const QString& folder : folders) {
            if (translator->load(QLocale(QLocale::French, QLocale::France), QLatin1String(catalogue),
                                 QStringLiteral("_"), folder)) {
                loaded = QCoreApplication::installTranslator(translator);
                break;
            }
        }
        if (!loaded) {
            delete translator;
            continue;
        }
        if (qstrcmp(catalogue, "qtbase") == 0)
            base = true;
    }
    return base;
}

} // namespace qs
