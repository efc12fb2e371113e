#include "testutil.h"

#include "lib/text1252.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace qs::test {

TempDir::TempDir() {
    dir_.setAutoRemove(true);
}

QString TempDir::path() const {
    return dir_.path() + u'/';
}

QString TempDir::operator()(const QString& relative) const {
    return path() + relative;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void makeDir(const QString& path) {
    QDir().mkpath(path);
}

QByteArray crlf(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out.append(toWindows1252(l)).append("\r\n");
    return out;
}

QByteArray dataFile(const QString& relative, const QList<std::pair<QString, QString>>& values) {
    QFile f(QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/") + relative);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing test data " << relative.toStdString();
        return {};
    }
    QByteArray bytes = f.readAll();
    for (const auto& [key, value] : values)
        bytes.replace(toWindows1252(u'{' + key + u'}'), toWindows1252(value));
    return bytes;
}

void copyDataTree(const QString& relative, const TempDir& dir) {
    const QString source = QStringLiteral(QUILLSITE_SOURCE_DIR "/tests/data/") + relative + u'/';
    QDirIterator it(source, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        writeFile(dir(file.mid(source.size())), readFile(file));
    }
}

QStringList fileLines(const QString& path) {
    return splitLines(fromWindows1252(readFile(path)));
}

void setModified(const QString& path, const QDateTime& when) {
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(when, QFileDevice::FileModificationTime);
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString trashFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash/files");
}

namespace {

// A pseudo-terminal whose far end stays open, so that what the program wrote can still be read after it
// ended.
class PseudoTerminal {
public:
    PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        name_ = QString::fromLocal8Bit(ptsname(master_));
        slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
        termios raw{};
        if (slave_ >= 0 && tcgetattr(slave_, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(slave_, TCSANOW, &raw);
        }
    }
    ~PseudoTerminal() {
        for (const int fd : {slave_, master_})
            if (fd >= 0)
                close(fd);
    }
    QString name() const { return slave_ >= 0 ? name_ : QString(); }
    // What came through, once nothing more arrives for half a second.
    QByteArray readAll() const {
        QByteArray bytes;
        pollfd wait{master_, POLLIN, 0};
        char buffer[4096];
        for (ssize_t n = 0; poll(&wait, 1, 500) == 1 && (n = read(master_, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, n);
        return bytes;
    }

private:
    int master_;
    int slave_ = -1;
    QString name_;
};

} // namespace

CliResult runCli(const QStringList& arguments, const QByteArray& input, const QString& workingFolder,
                 bool terminal) {
    QProcess p;
    CliResult r;
    std::optional<PseudoTerminal> tty;
    if (terminal) {
        tty.emplace();
        if (tty->name().isEmpty())
            return r;
        p.setStandardOutputFile(tty->name());
        p.setStandardErrorFile(tty->name());
    }
    if (!workingFolder.isEmpty())
        p.setWorkingDirectory(workingFolder);
    p.start(QStringLiteral(QUILLSITE_BIN_DIR "/quillsite-cli"), arguments);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(tty ? tty->readAll() : p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

ReadOnlyFolder::ReadOnlyFolder(QString path) : path_(std::move(path)) {
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    const QString probe = path_ + QStringLiteral("/.probe");
    auto writable = [&] {
        QFile f(probe);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.close();
        f.remove();
        return true;
    };
    if (writable()) {
        immutable_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    active_ = !writable();
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (immutable_)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

namespace {
QStringList* capturing = nullptr;
QtMessageHandler beforeCapture = nullptr;
void capture(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    capturing->append(message);
    if (beforeCapture)
        beforeCapture(type, context, message);
}
} // namespace

CapturedMessages::CapturedMessages() {
    capturing = &messages_;
    beforeCapture = qInstallMessageHandler(capture);
}

CapturedMessages::~CapturedMessages() {
    qInstallMessageHandler(beforeCapture);
    capturing = nullptr;
}

} // namespace qs::test
