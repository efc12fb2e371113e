// Shared main() of the test programs: every test runs with its own home, settings, data (trash) and
// cache folders inside one temporary folder, so no test ever touches the user's real ones.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#ifdef QUILLSITE_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    QTemporaryDir sandbox;
    if (!sandbox.isValid())
        return 3;
    for (const auto& [variable, sub] :
         {std::pair{"HOME", "home"}, std::pair{"XDG_CONFIG_HOME", "config"},
          std::pair{"XDG_DATA_HOME", "data"}, std::pair{"XDG_CACHE_HOME", "cache"},
          std::pair{"XDG_RUNTIME_DIR", "runtime"}}) {
        QDir(sandbox.path()).mkpath(QString::fromLatin1(sub));
        qputenv(variable, sandbox.path().toLocal8Bit() + '/' + sub);
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Vendrel"));
    TestApplication::setApplicationName(QStringLiteral("quillsite"));
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::UserScope, sandbox.path() + QStringLiteral("/config"));
        QSettings::setPath(format, QSettings::SystemScope, sandbox.path() + QStringLiteral("/system"));
    }

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
