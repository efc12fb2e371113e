#include "tools/fileops.h"

#include "lib/files.h"
#include "lib/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qs {
namespace {

std::filesystem::path fsPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// The causes a user can act on, in French; nothing for the others.
QString knownCause(const std::error_code& ec) {
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return QStringLiteral("accès refusé");
    if (ec == std::errc::no_such_file_or_directory)
        return QStringLiteral("fichier ou dossier introuvable");
    if (ec == std::errc::no_space_on_device)
        return QStringLiteral("disque plein");
    if (ec == std::errc::read_only_file_system)
        return QStringLiteral("disque en lecture seule");
    if (ec == std::errc::is_a_directory)
        return QStringLiteral("un dossier porte ce nom");
    if (ec == std::errc::device_or_resource_busy || ec == std::errc::text_file_busy)
        return QStringLiteral("fichier en cours d'utilisation");
    return {};
}

QString causeOf(const std::error_code& ec) {
    const QString known = knownCause(ec);
    return known.isEmpty() ? QString::fromLocal8Bit(ec.message()) : known;
}

} // namespace

QString fileErrorCause(int error, const QFileDevice& device) {
    if (error != 0) {
        const QString known = knownCause(std::error_code(error, std::generic_category()));
        if (!known.isEmpty())
            return known;
    }
    switch (device.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("accès refusé");
    case QFileDevice::ResourceError:
        return QStringLiteral("ressources insuffisantes (disque plein ?)");
    default:
        break;
    }
    return device.errorString();
}

bool replaceFileAtomically(const QString& from, const QString& to, QString* cause) {
    std::error_code ec;
    std::filesystem::rename(fsPath(from), fsPath(to), ec);
    if (!ec)
        return true;
    if (cause)
        *cause = causeOf(ec);
    return false;
}

FileStatus fileStatus(const QString& path, bool followLinks) {
    FileStatus status;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if ((followLinks ? ::stat(native.constData(), &st) : ::lstat(native.constData(), &st)) != 0)
        return status;
    status.exists = true;
    status.isSymLink = S_ISLNK(st.st_mode);
    status.mode = st.st_mode & 07777;
    status.owner = st.st_uid;
    status.group = st.st_gid;
    if (followLinks)
        status.protectedFile = !(st.st_mode & 0222) || ::access(native.constData(), W_OK) != 0;
#else
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return status;
    status.exists = true;
    status.isSymLink = !followLinks && info.isSymLink();
    status.mode = uint(info.permissions());
    status.protectedFile = !info.isWritable();
#endif
    return status;
}

void keepOwnerAndPermissions(const FileStatus& like, QFile& file) {
#ifdef Q_OS_UNIX
    const int fd = file.handle();
    // The owner first: changing it may clear the set-id bits, which the mode then restores. It only
    // succeeds when allowed (root, or a group of our own); otherwise the new file is ours.
    if (::fchown(fd, like.owner, like.group) != 0) {
        [[maybe_unused]] const int ignored = ::fchown(fd, uid_t(-1), like.group);
    }
    ::fchmod(fd, like.mode);
#else
    file.setPermissions(QFile::Permissions(like.mode));
#endif
}

QStringList FichiersLister(const QString& folder, const QStringList& patterns) {
    QDir dir(folder);
    dir.setFilter(QDir::Files); // without QDir::CaseSensitive, patterns ignore case
    if (!patterns.isEmpty())
        dir.setNameFilters(patterns);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString DossierMémorisé(const QString& key, const QStringList& fallbacks) {
    const QString stored = ParamètreLire(key);
    if (!stored.isEmpty() && DossierExiste(stored))
        return withSeparator(stored);
    for (const QString& f : fallbacks)
        if (!f.isEmpty() && DossierExiste(f))
            return withSeparator(f);
    return withSeparator(QDir::homePath());
}

void DossierMémoriser(const QString& key, const QString& folder) {
    if (!folder.isEmpty())
        ParamètreEcrire(key, withSeparator(folder));
}

} // namespace qs
