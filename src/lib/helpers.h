#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAbstractItemModel;

namespace qs {

class Dialogs;

// The name of the program's executable and settings, whichever of its programs is running.
inline constexpr const char16_t* kProgramName = u"quillsite";

// Searches a flat list model for the first row matching `value`, -1 when none does.
//
// Text values compare with the row's text (display role) after upper-casing; a trailing "*" asks for a
// prefix match. Numbers compare with the number attached to the row (Qt::UserRole). The operator is one
// of "=", "<", ">", "<=", ">=" (anything else is "="). For text the value is the left operand:
//   ListeCherche(d, m, "abc")       on [ABC, abcd]  ->  0
//   ListeCherche(d, m, "doc*")      on [Documentation]  ->  0
//   ListeCherche(d, m, 7, ">")      -> the first row whose number is greater than 7
// A tree model (folder tree, nested rows) is refused with a message.
int ListeCherche(Dialogs& dialogs, const QAbstractItemModel* list, const QVariant& value,
                 const QVariant& op = {});

// True when nothing but blanks, tabs and CR LF pairs is left (a lone CR or LF is not blank).
bool TexteVide(const QString& text);
bool IsString(const QVariant& value);
// Every occurrence of `sought` replaced, case ignored (Windows-1252 upper case). The search goes on after
// the inserted text, so a replacement holding the sought text cannot loop.
QString ChaîneRemplacer(const QString& text, const QString& sought, const QString& replacement);
// Two upper-case hexadecimal digits.
QString OctetHexa(int n);
// "(quillsite v0.1.0)": written into generated pages and titling prompts.
QString ProgrammeID();
// The login name of the user running the program.
QString UtilisateurNom();

} // namespace qs
