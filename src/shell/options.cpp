#include "shell/options.h"

#include "lib/helpers.h"

#include <algorithm>
#include <optional>

namespace qs {

namespace {

const char16_t* const kLevelKeys[] = {u"NivImg", u"NivZip", u"NivExe", u"NivCgi", u"NivSnd"};
const char16_t* const kColourKeys[] = {u"CouleurFond(rrggbb)", u"CouleurTitre(rrggbb)",
                                       u"CouleurTexte(rrggbb)"};

QString illimité() {
    return QStringLiteral("illimité");
}

// The red, green and blue of "rrggbb"; nothing when the text is not six hexadecimal digits.
std::optional<std::array<int, 3>> parseColour(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() != 6)
        return std::nullopt;
    // Digits only: toInt() would also take a sign or blanks ("-1-1-1", "1 2 34"), which are no colour.
    const auto hex = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (!std::all_of(t.begin(), t.end(), hex))
        return std::nullopt;
    std::array<int, 3> rgb{};
    for (qsizetype i = 0; i < 3; ++i)
        rgb[size_t(i)] = t.mid(i * 2, 2).toInt(nullptr, 16);
    return rgb;
}

} // namespace

Options::Options(ProgramValues& values) : values_(values) {}

QString Options::depthCaption(int value) {
    return value >= kDepthMax ? illimité() : QString::number(value);
}

QString& Options::colourOf(Row row) {
    switch (row) {
    case CL:
        return values_.CouleurTitre;
    case CT:
        return values_.CouleurTexte;
    case CF:
        break;
    }
    return values_.CouleurFond;
}

void Options::Form_Load() {
    OptionsCharger(values_);
    if (ParamètreLire(QStringLiteral("NiveauRep")).isEmpty())
        ParamètreEcrire(QStringLiteral("NiveauRep"), 3);
    // The box shows the mode the main window applies, so that OK never switches to read-only mode by
    // itself (a never stored mode is editing).
    fillForm(ParamètreLire(QStringLiteral("NiveauRep")), storedEditMode(),
             ParamètreLire(QStringLiteral("EditeurTexte")));
}

void Options::fillForm(const QString& storedDepth, EditMode mode, const QString& editor) {
    const QString* levels[] = {&values_.NivImg, &values_.NivZip, &values_.NivExe, &values_.NivCgi,
                               &values_.NivSnd};
    for (size_t i = 0; i < form.cType.size(); ++i)
        form.cType[i] = levels[i]->trimmed().toInt() == 1;
    // Unticking the box gives editing back.
    form.Check1 = mode == EditMode::ReadOnly;

    const QString depth = storedDepth.trimmed();
    bool ok = false;
    const int n = depth.toInt(&ok);
    if (depth == illimité() || (ok && n >= kDepthMax)) {
        form.sNiv = kDepthMax;
    } else {
        form.sNiv = ok ? std::max(n, kDepthMin) : kDepthMin;
    }
    // A stored depth the slider cannot show is replaced by the one it stands at, so that Apply never
    // stores a depth the link tree does not understand.
    form.eNiv = depthCaption(form.sNiv);

    // The bars start from the colours in use: moving one of them changes only its own component.
    for (Row row : {CF, CL, CT}) {
        if (const auto rgb = parseColour(colourOf(row)))
            form.bars[size_t(row)] = *rgb;
    }
    loadedEditor_ = editor;
    form.editor = loadedEditor_;
}

void Options::sNiv_Change(int value) {
    form.sNiv = std::clamp(value, kDepthMin, kDepthMax);
    form.eNiv = depthCaption(form.sNiv);
}

void Options::barChanged(Row row, int index, int value) {
    if (index < 0 || index > 2)
        return;
    auto& bars = form.bars[size_t(row)];
    bars[size_t(index)] = std::clamp(value, 0, 255);
    colourOf(row) = OctetHexa(bars[0]) + OctetHexa(bars[1]) + OctetHexa(bars[2]);
}

bool Options::hexEdited(Row row, const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith(u'#'))
        t = t.mid(1).trimmed(); // "# 018002": no blank kept in the stored colour
    const auto rgb = parseColour(t);
    if (!rgb)
        return false;
    form.bars[size_t(row)] = *rgb;
    colourOf(row) = t.toUpper();
    return true;
}

QString Options::hexText(Row row) const {
    const auto& bars = form.bars[size_t(row)];
    return u'#' + OctetHexa(bars[0]) + OctetHexa(bars[1]) + OctetHexa(bars[2]);
}

QString Options::modeExplanation() const {
    if (!form.Check1)
        return {};
    return QStringLiteral(
        "Les pages ne peuvent plus être modifiées ni supprimées : les boutons "
        "«\u00A0Modifier\u00A0» et «\u00A0Supprimer\u00A0» sont masqués. Décochez la case pour "
        "rétablir la modification.");
}

QColor Options::rowColour(Row row) const {
    const auto& bars = form.bars[size_t(row)];
    return QColor(bars[0], bars[1], bars[2]);
}

void Options::cmdApply_Click() {
    values_.editMode = form.Check1 ? EditMode::ReadOnly : EditMode::Editable;
    storeEditMode(values_.editMode);
    ParamètreEcrire(QStringLiteral("NiveauRep"), form.eNiv);
    values_.NiveauRep = form.eNiv;
    // The link types reach the main window at its next reload of the settings, not now.
    for (size_t i = 0; i < form.cType.size(); ++i)
        ParamètreEcrire(QString::fromUtf16(kLevelKeys[i]), form.cType[i] ? 1 : 0);
    const QString colours[] = {values_.CouleurFond, values_.CouleurTitre, values_.CouleurTexte};
    for (int i = 0; i < 3; ++i)
        ParamètreEcrire(QString::fromUtf16(kColourKeys[i]), colours[i]);
    // Only a change is stored: an editor never chosen keeps following the system's choice.
    if (form.editor.trimmed() != loadedEditor_.trimmed()) {
        loadedEditor_ = form.editor.trimmed();
        ParamètreEcrire(QStringLiteral("EditeurTexte"), loadedEditor_);
    }
}

} // namespace qs
