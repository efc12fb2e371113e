#pragma once

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

// What the program and its updater leave for each other beside the program file. QtCore only: the
// updater includes it too.
namespace qs::updatefiles {

// The program as it was before the update, kept until the new build has started once.
inline QString backupPath(const QString& program) {
    return program + QStringLiteral(".ancien");
}

// The updater's outcome, shown once at the next start: a first line "ok" or "echec", then the text.
inline QString reportPath(const QString& program) {
    return program + QStringLiteral(".mise-a-jour.txt");
}

// The option that makes a build print its identification line and end, without a window.
inline const char* versionOption() {
    return "--version";
}

// True for an identification line such as "(quillsite v1.4.2)".
inline bool isIdentificationLine(const QByteArray& line) {
    static const QRegularExpression pattern(QStringLiteral("^\\(\\S+ v\\d+(\\.\\d+)*\\)$"));
    return pattern.match(QString::fromUtf8(line.trimmed())).hasMatch();
}

} // namespace qs::updatefiles
