#pragma once

#include <QString>
#include <QVariant>

namespace qs {

// The per-user settings store: QSettings with organisation "Vendrel" and the program's name (the
// registry key Software\Vendrel\quillsite on Windows, ~/.config/Vendrel/quillsite.conf here). Every value
// is text; a missing one reads as "".

// What a value that is not text reads as.
QString notTextValue();

// Reads one value. A section that begins with separators or blanks is used without them; an empty one,
// or a section that is not text, means the program's own. `localMachine` selects the machine-wide store.
QString RegistreLire(const QString& name, const QVariant& section = {}, bool localMachine = false);
// Writes one value converted to text: numbers in general format, dates as "dd.mm.yyyy hh:mm", truth
// values as "-1" or "0", text unchanged, anything else as "". Returns 0 on success.
int RegistreEcrire(const QString& name, const QVariant& value, const QVariant& section = {},
                   bool localMachine = false);
QString ParamètreLire(const QString& name);
void ParamètreEcrire(const QString& name, const QVariant& value);

// Whether pages may be changed or removed. Stored as "Modification": "Non" is read-only, anything else
// (a missing value included) leaves editing on.
enum class EditMode { Editable, ReadOnly };
// The stored mode; a missing one is stored as editing when `storeMissing`.
EditMode storedEditMode(bool storeMissing = false);
void storeEditMode(EditMode mode);

// Whether the site has been indexed, so that generated pages link to its search and recent-pages lists.
// Stored as "Indexer": exactly "Oui" when indexed, "Non" when not.
bool siteIndexed();
void setSiteIndexed(bool indexed);

// The program-wide values that start-up and every opening of a site load, and that the rest reads.
struct ProgramValues {
    QString Adresse;    // path of the site's home page
    QString Répertoire; // site folder, with a trailing separator
    QString CouleurFond = QStringLiteral("F0F0FF");
    QString CouleurTitre = QStringLiteral("509000");
    QString CouleurTexte = QStringLiteral("000090");
    QString NivImg = QStringLiteral("1");
    QString NivZip = QStringLiteral("1");
    QString NivExe = QStringLiteral("1");
    QString NivCgi = QStringLiteral("1");
    QString NivSnd = QStringLiteral("1");
    EditMode editMode = EditMode::Editable;
    QString NiveauRep = QStringLiteral("4"); // "1" to "19", or "illimité"
};

// Reads the three colours and five link-type levels, storing each default that was missing.
void OptionsCharger(ProgramValues& values);

} // namespace qs
