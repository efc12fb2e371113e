#include "generate/fragments.h"

#include "lib/fileio.h"
#include "lib/files.h"
#include "lib/text1252.h"

#include <QFileInfo>

namespace qs {

QString fragmentFileName(Fragment fragment) {
    switch (fragment) {
    case Fragment::HeadD:
        return QStringLiteral("head_d.txt");
    case Fragment::FootD:
        return QStringLiteral("foot_d.txt");
    case Fragment::HeadC:
        return QStringLiteral("head_c.txt");
    case Fragment::FootC:
        return QStringLiteral("foot_c.txt");
    }
    return {};
}

bool isHeader(Fragment fragment) {
    return fragment == Fragment::HeadD || fragment == Fragment::HeadC;
}

std::optional<QString> readFragment(const QString& path, QString* error) {
    // An absent fragment is an absent decoration, not an error; a site made by the program has all four.
    if (!QFileInfo::exists(path))
        return QString();
    FileError why;
    const auto bytes = readWholeFile(path, kMaxWholeFile, &why);
    if (!bytes) {
        if (error)
            *error = fileErrorMessage(path, why);
        return std::nullopt;
    }
    return fragmentText(*bytes);
}

QString fragmentText(QByteArrayView bytes) {
    QString text;
    for (const QString& line : splitLines(fromWindows1252(bytes)))
        text += QStringLiteral("\r\n") + line;
    return text;
}

} // namespace qs
