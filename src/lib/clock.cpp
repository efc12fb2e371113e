#include "lib/clock.h"

#include "lib/helpers.h"

namespace qs {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

QString SystemClock::userName() const {
    return UtilisateurNom();
}

} // namespace qs
