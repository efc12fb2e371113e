#include "lib/settings.h"

#include "lib/helpers.h"

#include <QDate>
#include <QDateTime>
#include <QSettings>

#include <memory>

namespace qs {
namespace {

std::unique_ptr<QSettings> open(const QVariant& section, bool localMachine) {
    QString app = QString::fromUtf16(kProgramName);
    if (IsString(section)) {
        QString s = section.toString();
        qsizetype i = 0;
        while (i < s.size() && (s[i] == u'\\' || s[i] == u' '))
            ++i;
        s = s.mid(i);
        if (!s.isEmpty())
            app = s;
    }
    auto s = std::make_unique<QSettings>(localMachine ? QSettings::SystemScope : QSettings::UserScope,
                                         QStringLiteral("Vendrel"), app);
    // One key, as in the registry: no falling back to machine-wide or organisation-wide values.
    s->setFallbacksEnabled(false);
    return s;
}

QString toStoredText(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("-1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(v.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(v.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return v.toDate().startOfDay().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    default:
        return {};
    }
}

} // namespace

QString notTextValue() {
    return QStringLiteral("La valeur du registre recherchée n'est pas de type STRING !");
}

QString RegistreLire(const QString& name, const QVariant& section, bool localMachine) {
    const auto s = open(section, localMachine);
    if (!s->contains(name))
        return {};
    const QVariant v = s->value(name);
    if (v.typeId() != QMetaType::QString)
        return notTextValue();
    return v.toString();
}

int RegistreEcrire(const QString& name, const QVariant& value, const QVariant& section, bool localMachine) {
    const auto s = open(section, localMachine);
    s->setValue(name, toStoredText(value));
    s->sync();
    return int(s->status());
}

QString ParamètreLire(const QString& name) {
    return RegistreLire(name);
}

void ParamètreEcrire(const QString& name, const QVariant& value) {
    RegistreEcrire(name, value);
}

EditMode storedEditMode(bool storeMissing) {
    const QString stored = ParamètreLire(QStringLiteral("Modification"));
    if (stored.isEmpty() && storeMissing)
        storeEditMode(EditMode::Editable);
    return stored == u"Non" ? EditMode::ReadOnly : EditMode::Editable;
}

void storeEditMode(EditMode mode) {
    ParamètreEcrire(QStringLiteral("Modification"),
                    mode == EditMode::ReadOnly ? QStringLiteral("Non") : QStringLiteral("Oui"));
}

bool siteIndexed() {
    return ParamètreLire(QStringLiteral("Indexer")) == u"Oui";
}

void setSiteIndexed(bool indexed) {
    ParamètreEcrire(QStringLiteral("Indexer"), indexed ? QStringLiteral("Oui") : QStringLiteral("Non"));
}

void OptionsCharger(ProgramValues& v) {
    struct Key {
        const char16_t* name;
        const char16_t* fallback;
        QString ProgramValues::*field;
    };
    static const Key keys[] = {
        {u"CouleurFond(rrggbb)", u"F0F0FF", &ProgramValues::CouleurFond},
        {u"CouleurTitre(rrggbb)", u"509000", &ProgramValues::CouleurTitre},
        {u"CouleurTexte(rrggbb)", u"000090", &ProgramValues::CouleurTexte},
        {u"NivExe", u"1", &ProgramValues::NivExe},
        {u"NivImg", u"1", &ProgramValues::NivImg},
        {u"NivZip", u"1", &ProgramValues::NivZip},
        {u"NivSnd", u"1", &ProgramValues::NivSnd},
        {u"NivCgi", u"1", &ProgramValues::NivCgi},
    };
    for (const Key& k : keys) {
        const QString name = QString::fromUtf16(k.name);
        QString value = ParamètreLire(name);
        if (value.isEmpty()) {
            value = QString::fromUtf16(k.fallback);
            ParamètreEcrire(name, value);
        }
        v.*k.field = value;
    }
}

} // namespace qs
