#include "lib/helpers.h"

#include "lib/dialogs.h"
#include "lib/files.h"
#include "lib/text1252.h"
#include "version.h"

#include <QAbstractItemModel>
#include <QMetaObject>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace qs {

namespace {

template <typename T> bool compare(const T& a, const QString& op, const T& b) {
    if (op == u"<")
        return a < b;
    if (op == u">")
        return b < a;
    if (op == u"<=")
        return !(b < a);
    if (op == u">=")
        return !(a < b);
    return a == b;
}

bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

int ListeCherche(Dialogs& dialogs, const QAbstractItemModel* list, const QVariant& value,
                 const QVariant& opIn) {
    QString op = IsString(opIn) ? opIn.toString() : QString();
    if (op != u"<" && op != u">" && op != u"<=" && op != u">=")
        op = QStringLiteral("=");
    if (!value.isValid() || value.isNull())
        return -1;
    if (IsString(value) && value.toString().isEmpty())
        return -1;

    const char* kind = list ? list->metaObject()->className() : "null";
    if (!list || list->inherits("QFileSystemModel")) {
        if (list)
            dialogs.message(
                QStringLiteral("Je ne peux pas faire de recherches dans une liste de répertoires !") +
                    CrLf(2) + QStringLiteral("Utilisez la fonction ListeRépertoiresCherche."),
                Icon::Critical, QStringLiteral("Erreur ListeCherche"));
        else
            dialogs.message(QStringLiteral("Je ne peux pas faire de recherche dans un objet %1 !")
                                .arg(QString::fromLatin1(kind)),
                            Icon::Critical, QStringLiteral("Erreur ListeCherche"));
        return -1;
    }
    const int count = list->rowCount();
    for (int i = 0; i < count; ++i) {
        if (list->hasChildren(list->index(i, 0))) {
            dialogs.message(QStringLiteral("Je ne peux pas faire de recherche dans un objet %1 !")
                                .arg(QString::fromLatin1(kind)),
                            Icon::Critical, QStringLiteral("Erreur ListeCherche"));
            return -1;
        }
    }

    if (!IsString(value)) {
        if (!isNumber(value))
            return -1;
        const double v = value.toDouble();
        for (int i = 0; i < count; ++i) {
            const double item = list->index(i, 0).data(Qt::UserRole).toDouble();
            if (compare(item, op, v))
                return i;
        }
        return -1;
    }

    QString sought = value.toString();
    qsizetype prefix = -1;
    if (sought.endsWith(u'*')) {
        sought.chop(1);
        prefix = sought.size();
    }
    sought = upper1252(sought);
    for (int i = 0; i < count; ++i) {
        QString item = upper1252(list->index(i, 0).data(Qt::DisplayRole).toString());
        if (prefix >= 0)
            item.truncate(prefix);
        if (compare(sought, op, item))
            return i;
    }
    return -1;
}

bool TexteVide(const QString& textIn) {
    QString t = textIn;
    for (;;) {
        const QString before = t;
        // Blanks only: tabs and line ends are removed one at a time below.
        qsizetype a = 0;
        while (a < t.size() && t[a] == u' ')
            ++a;
        qsizetype b = t.size();
        while (b > a && t[b - 1] == u' ')
            --b;
        t = t.mid(a, b - a);
        if (t.startsWith(u'\t'))
            t.remove(0, 1);
        if (t.startsWith(u"\r\n"))
            t.remove(0, 2);
        if (t.endsWith(u"\r\n"))
            t.chop(2);
        if (t.endsWith(u'\t'))
            t.chop(1);
        if (t == before)
            break;
    }
    return t.isEmpty();
}

bool IsString(const QVariant& value) {
    return value.typeId() == QMetaType::QString;
}

QString ChaîneRemplacer(const QString& text, const QString& sought, const QString& replacement) {
    if (sought.isEmpty())
        return text;
    const QString upperSought = upper1252(sought);
    const QString upperText = upper1252(text);
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype p = upperText.indexOf(upperSought, from);
        if (p < 0)
            break;
        out.append(QStringView(text).mid(from, p - from)).append(replacement);
        from = p + sought.size();
    }
    out.append(QStringView(text).mid(from));
    return out;
}

QString OctetHexa(int n) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    n = qBound(0, n, 255);
    const QChar pair[] = {QChar(digits[n / 16]), QChar(digits[n % 16])};
    return QString(pair, 2);
}

QString ProgrammeID() {
    return QStringLiteral("(%1 v%2.%3.%4)")
        .arg(QString::fromUtf16(kProgramName))
        .arg(QUILLSITE_VERSION_MAJOR)
        .arg(QUILLSITE_VERSION_MINOR)
        .arg(QUILLSITE_VERSION_PATCH);
}

QString UtilisateurNom() {
#ifdef Q_OS_UNIX
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    return name;
}

} // namespace qs
