#pragma once

// What the page commands of quillsite-cli share: the site named on the command line, a Dialogs that
// prints, and the selection of a domain and a category as the window's clicks make it.
#include "cli/command.h"
#include "cli/consoledialogs.h"
#include "cli/siteargument.h"
#include "commands/mainstate.h"
#include "commands/pageeditor.h"
#include "commands/selection.h"
#include "lib/clock.h"
#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/sitelock.h"
#include "lib/text1252.h"
#include "site/listing.h"

#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace qs::cli {

// The name that is exactly `name`, else the first equal to it without regard to case; "" when none. A
// case-sensitive disk may hold both "abc" and "ABC": the one typed exactly is the one meant.
inline QString exactOrCaseless(const QStringList& names, const QString& name) {
    if (names.contains(name))
        return name;
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

// The bytes of a page body: the file named (an ordinary file), or standard input for "-" or nothing; at
// most 16 MiB either way. Nothing after a message naming the file and the cause.
inline std::optional<QByteArray> readBody(const QString& file) {
    const bool standardInput = file.isEmpty() || file == u"-";
    FileError error;
    std::optional<QByteArray> bytes;
    if (standardInput) {
        QFile in;
        if (in.open(stdin, QIODevice::ReadOnly)) {
            bytes = in.read(kMaxWholeFile + 1);
            if (bytes->size() > kMaxWholeFile) {
                bytes.reset();
                error = {FileError::Kind::TooLarge, FileError::Operation::Read, 0, kMaxWholeFile};
            }
        } else {
            error = FileError::system(FileError::Operation::Read, EBADF);
        }
    } else {
        bytes = readWholeFile(file, kMaxWholeFile, &error);
    }
    if (!bytes)
        err(QStringLiteral("Je ne peux pas lire le fichier « %1 » : %2.")
                .arg(standardInput ? QStringLiteral("-") : file, fileErrorCause(error)));
    return bytes;
}

// The body as the editor holds it: CR LF line ends, no final line end; UTF-8 when valid, else
// Windows-1252.
inline QString bodyText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

// A title is one line: one with a line break is refused before anything is written.
inline bool titleIsOneLine(const QString& title) {
    if (!title.contains(u'\n') && !title.contains(u'\r'))
        return true;
    err(QStringLiteral("Le titre ne doit pas contenir de saut de ligne."));
    return false;
}

// A site opened as the window opens it, with the program's colours.
struct PageSession {
    ConsoleDialogs dialogs;
    SystemClock clock;
    MainState state{dialogs, clock, programFolder()};
    std::optional<SiteLock> lock; // held from open() on

    // False after a message when the argument names no folder (a file stands for its folder).
    bool open(const QString& siteArgument) {
        const QString root = siteFolderArgument(siteArgument);
        if (root.isEmpty())
            return false;
        lock.emplace(root);
        if (!lock->held()) {
            err(lock->failure());
            return false;
        }
        openSiteFolder(state, root);
        state.controls.tFichier = state.values.Adresse;
        domainesInit(state);
        return true;
    }

    // Selects the domain and then the category as clicks do. False after a message naming what is missing.
    bool select(const QString& domain, const QString& category) {
        const int d = state.dListe.find(domain);
        if (d < 0) {
            err(QStringLiteral("Le site n'a pas de domaine « %1 ».").arg(domain));
            return false;
        }
        state.dListe.select(d);
        dListe_Click(state);
        const int c = state.cListe.find(category);
        if (state.dListe.selectedRow() != d || c < 0) {
            err(QStringLiteral("Le domaine « %1 » n'a pas de catégorie « %2 ».")
                    .arg(state.dListe.text(d), category));
            return false;
        }
        state.cListe.select(c);
        cListe_Click(state);
        return true;
    }

    // The row of the selected category's page stored as `file` (exact name first), -1 after a message.
    int pageRow(const QString& file) const {
        QStringList files;
        for (int r = 0; r < state.tListe.count(); ++r)
            files.append(state.pageNames.value(state.tListe.number(r)));
        const int row = int(files.indexOf(exactOrCaseless(files, file)));
        if (row < 0 || file.isEmpty())
            err(QStringLiteral(
                    "La catégorie « %1 » n'a pas de page « %2 » (une page sans titre n'est pas listée).")
                    .arg(state.cListe.selectedText(), file));
        return file.isEmpty() ? -1 : row;
    }

    // Saves the page being edited as OK does and prints its file name; the command's exit code.
    int save() {
        tTexte_Change(state);
        if (!state.controls.tOkEnabled) {
            err(QStringLiteral("Le titre et le texte de la page ne doivent pas être vides."));
            return kUsage;
        }
        const QString written = tOk_Click(state);
        if (written.isEmpty())
            return kFailure;
        out(FichierNom(written));
        return dialogs.failures() > 0 ? kFailure : kOk;
    }
};

} // namespace qs::cli
