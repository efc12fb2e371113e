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
    const QByteArray root = sandbox.path().toLocal8Bit();
    for (const char* sub : {"home", "config", "data", "cache", "runtime"})
        QDir(sandbox.path()).mkpath(QString::fromLatin1(sub));
    qputenv("HOME", root + "/home");
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_RUNTIME_DIR", root + "/runtime");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    TestApplication app(argc, argv);
    TestApplication::setOrganizationName(QStringLiteral("Vendrel"));
    TestApplication::setApplicationName(QStringLiteral("quillsite"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       sandbox.path() + QStringLiteral("/config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                       sandbox.path() + QStringLiteral("/system"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       sandbox.path() + QStringLiteral("/config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope,
                       sandbox.path() + QStringLiteral("/system"));

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
