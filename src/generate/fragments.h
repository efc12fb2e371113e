#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qs {

// The four header and footer fragments of the site folder: free HTML above and below the generated
// lists of the home page ("head_d.txt", "foot_d.txt") and of every domain index page ("head_c.txt",
// "foot_c.txt").
enum class Fragment { HeadD, FootD, HeadC, FootC };
QString fragmentFileName(Fragment fragment);
bool isHeader(Fragment fragment);

// A fragment file as text: CR LF before each of its lines ("A", "B" -> "\r\nA\r\nB"; an empty file -> "").
// A missing file reads as empty; a file that exists but cannot be read gives nothing, with a French
// message naming it in *error.
std::optional<QString> readFragment(const QString& path, QString* error = nullptr);
// The same from the file's bytes already read.
QString fragmentText(QByteArrayView bytes);

} // namespace qs
