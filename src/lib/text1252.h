#pragma once

#include "lib/fileio.h"

#include <QByteArray>
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

// ASCII letters upper-cased, every other byte as it is. Windows-1252 upper case never turns another byte
// into an ASCII letter, so an ASCII word found this way is found where the full upper case would find it.
constexpr char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
// Position of `upperWord` (given in upper case) in `text`, ASCII case ignored; -1 when absent.
qsizetype indexOfAsciiNoCase(QByteArrayView text, QByteArrayView upperWord, qsizetype from = 0);

// The text in Windows-1252 appended to `out` (runs of ASCII copied as they are).
void appendWindows1252(QByteArray& out, QStringView text);
// Every line in Windows-1252 followed by CR LF: the bytes of a text file of the site.
QByteArray encodeLines(const QStringList& lines);

// Splits on CR LF, LF or CR. A final line end does not open an empty last line.
QStringList splitLines(QStringView text);

// Whole file as Windows-1252 text, or nothing with a French message naming the file in *error. Only an
// ordinary file of at most 16 MiB is read.
std::optional<QString> readText(const QString& path, QString* error = nullptr);
std::optional<QStringList> readLines(const QString& path, QString* error = nullptr);

// Writes every line followed by CR LF, whole or not at all (writeFileWhole): on failure the previous
// file stays and *error holds a French message naming the file. Synced by default: the user's files.
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr,
                const WriteOptions& options = {});
// Writes the text as it is (its own line ends), whole or not at all.
bool writeText(const QString& path, QStringView text, QString* error = nullptr);
bool writeBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                const WriteOptions& options = {});

} // namespace qs
