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
    const QDateTime when = QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!when.isValid())
        return std::nullopt;
    return when;
}

} // namespace qs
