#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: a broken rule stops the run like a crash, so libFuzzer keeps the input.
namespace fuzz {

inline void check(bool ok, const char* rule) {
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s\n", rule);
        std::abort();
    }
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

// True on one call in `n`: what a file adds to a check in memory is checked on a sample of the inputs.
inline bool everyNth(int n) {
    static int calls = 0;
    return calls++ % n == 0;
}

// A scratch folder on a memory file system where there is one, kept for the whole run, with "/" at the end.
inline QString scratchFolder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/qs-fuzz-XXXXXX")
                                 : QDir::tempPath() + "/qs-fuzz-XXXXXX");
    check(dir.isValid(), "a scratch folder");
    return dir.path() + u'/';
}

} // namespace fuzz
