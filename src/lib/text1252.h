#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>

#include <optional>

// Windows-1252 text files: the format of every page, fragment and generated file of a site.
//
// Reading takes CR LF, LF or CR as a line end and accepts a last line without one. Writing ends every
// line with CR LF. All 256 byte values round-trip; the five bytes that Windows-1252 leaves undefined
// (81 8D 8F 90 9D) map to the control characters of the same value. A character the code page cannot
// hold is written as an HTML numeric character reference:
//
//   "Été → été"  ->  C9 74 E9 20 26 23 38 35 39 34 3B 20 E9 74 E9   ("&#8594;")
namespace qs {

QString fromWindows1252(QByteArrayView bytes);
QByteArray toWindows1252(QStringView text);

// True when the character has a byte of its own in Windows-1252.
bool isWindows1252(char32_t c);

// Upper case as Windows-1252 defines it (é/É, œ/Œ, š/Š, ž/Ž, ÿ/Ÿ); never changes the length.
QChar upper1252(QChar c);
QString upper1252(QStringView text);
// Orders two texts as their Windows-1252 upper-case forms would, without making them: <0, 0 or >0.
int compareUpper1252(QStringView a, QStringView b);

// Splits on CR LF, LF or CR. A final line end does not open an empty last line.
QStringList splitLines(QStringView text);

// The cause of a failed file operation, in French ("accès refusé", "fichier ou dossier introuvable"...),
// never the system's English text.
QString frenchFileError(const QFileDevice& file);

// Whole file as Windows-1252 text, or nothing with a French message naming the file in *error.
std::optional<QString> readText(const QString& path, QString* error = nullptr);
std::optional<QStringList> readLines(const QString& path, QString* error = nullptr);

// Writes every line followed by CR LF, whole or not at all: on failure the previous file stays and
// *error holds a French message naming the file.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);
// Writes the text as it is (its own line ends), whole or not at all.
bool writeText(const QString& path, QStringView text, QString* error = nullptr);
bool writeBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace qs
