#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// Lets gtest print QStrings and QByteArrays in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << b.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[';
    for (const QString& s : l)
        *os << '"' << s.toStdString() << "\", ";
    *os << ']';
}
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}
QT_END_NAMESPACE

namespace qs::test {

// A temporary folder for one test; path() ends with "/".
class TempDir {
public:
    TempDir();
    QString path() const;
    // Path of a file or folder inside, with `relative` in "/" form.
    QString operator()(const QString& relative) const;

private:
    QTemporaryDir dir_;
};

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes); // creates missing folders
void makeDir(const QString& path);
// The bytes of a text file holding these lines, each in Windows-1252 and ended by CR LF.
QByteArray crlf(const QStringList& lines);
// The bytes of tests/data/<relative>, where expected pages are kept exactly as the program writes them
// (Windows-1252, CR LF). Each "{KEY}" of `values` is replaced by its value in Windows-1252. A missing
// file fails the test.
QByteArray dataFile(const QString& relative, const QList<std::pair<QString, QString>>& values = {});
// Copies the files below tests/data/<relative> (a folder) into `dir`, keeping their paths.
void copyDataTree(const QString& relative, const TempDir& dir);
// The file's lines, decoded from Windows-1252 (for readable failure messages).
QStringList fileLines(const QString& path);
void setModified(const QString& path, const QDateTime& when);
// Everything in a folder, hidden entries too, sorted by name.
QStringList folderEntries(const QString& folder);
// The desktop trash's folder of removed files (in the test's sandboxed home).
QString trashFolder();

// What a run of the built quillsite-cli gave: its exit code (-1 when it did not end within two minutes,
// -2 when it crashed) and what it wrote on standard output and standard error.
struct CliResult {
    int code = -1;
    QString out;
    QString err;
};
// Runs the built quillsite-cli with these arguments, `input` on its standard input (then closed), in
// `workingFolder` (the test's own when empty). It inherits the test's sandboxed home and settings. With
// `terminal`, both output streams go to a pseudo-terminal (raw: no line-end translation) and come back
// together as `out`; that output must stay under the terminal's buffer (a few KB).
CliResult runCli(const QStringList& arguments, const QByteArray& input = {},
                 const QString& workingFolder = {}, bool terminal = false);

// Makes a folder read-only for as long as it lives: permissions for an ordinary user and, since root
// ignores those, the immutable attribute as well. active() is false when neither holds here (the test
// should then skip).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool active() const { return active_; }

private:
    QString path_;
    bool immutable_ = false;
    bool active_ = false;
};

// Keeps every message Qt logs while it lives, each passed on to the handler before it as well.
class CapturedMessages {
public:
    CapturedMessages();
    ~CapturedMessages();
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;
    const QStringList& messages() const { return messages_; }

private:
    QStringList messages_;
};

} // namespace qs::test
