#include "lib/clock.h"

#include "lib/helpers.h"

namespace qs {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

QString SystemClock::userName() const {
    return UtilisateurNom();
}

std::optional<QDateTime> parseMoment(const QString& text) {
    const QString t = text.trimmed();
    // Digits where the form has them: Qt's "yyyy" also takes a signed year ("-9999-12-31 23:59").
    if (t.size() != 16)
        return std::nullopt;
    for (const qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15})
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
    const QDateTime when = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!when.isValid())
        return std::nullopt;
    return when;
}

} // namespace qs
