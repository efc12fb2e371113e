// Settings values on any bytes: each line of the input as a depth for the link tree, a colour typed in
// the options dialog and a moment given to --maintenant; and an input that begins like an INI file
// ("[") as the settings file itself, loaded by the options dialog (one in 64: the lines as the texts it
// read are checked on every input). Whatever they hold, what reaches a page or a control must be well
// formed.
#include "fuzzcheck.h"

#include "explorer/scanner.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "shell/options.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

using fuzz::check;

QString configFile;

bool isHexColour(const QString& text) {
    static const QRegularExpression six(QStringLiteral("^[0-9A-F]{6}$"));
    return six.match(text).hasMatch();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Settings go to a scratch folder, never to the user's own.
    const QString home = fuzz::scratchFolder() + QStringLiteral("config");
    qputenv("XDG_CONFIG_HOME", home.toLocal8Bit());
    configFile = home + QStringLiteral("/Vendrel/quillsite.conf");
    return 0;
}

namespace {

// Every line of the input as a stored or typed value.
void checkValues(const QList<QByteArray>& lines) {
    qs::ProgramValues values;
    qs::Options options(values);
    for (const QByteArray& line : lines) {
        const QString text = QString::fromUtf8(line);
        const qs::DepthLimit depth = qs::DepthLimit::parse(text);
        check(depth.value >= 1 && depth.value <= 20, "a depth the link tree understands");
        check(qs::DepthLimit::parse(depth.text()).value == depth.value, "a depth reads back");

        if (options.hexEdited(qs::Options::CL, text))
            check(isHexColour(values.CouleurTitre), "a typed colour is stored as six hexadecimal digits");
        for (const int v : options.form.bars[qs::Options::CL])
            check(v >= 0 && v <= 255, "colour bars within 0 to 255");

        if (const std::optional<QDateTime> when = qs::parseMoment(text)) {
            const QString shown = when->toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            check(shown.size() == 16 && qs::parseMoment(shown) == when, "a moment reads back");
        }
    }
}

// What the options dialog shows, whatever was stored: controls within their ranges.
void checkShown(const qs::Options& options) {
    const qs::Options::Form& form = options.form;
    check(form.sNiv >= qs::Options::kDepthMin && form.sNiv <= qs::Options::kDepthMax, "depth on the slider");
    check(form.eNiv == qs::Options::depthCaption(form.sNiv), "depth caption of the slider");
    for (const auto& row : form.bars)
        for (const int v : row)
            check(v >= 0 && v <= 255, "colour bars within 0 to 255");
    for (const qs::Options::Row row : {qs::Options::CF, qs::Options::CL, qs::Options::CT})
        check(isHexColour(options.hexText(row).mid(1)), "a colour box shows #RRGGBB");
}

// The lines of the input in turn as every stored text the dialog shows.
void checkStored(const QList<QByteArray>& lines) {
    qs::ProgramValues values;
    QString* stored[] = {&values.CouleurFond, &values.CouleurTitre, &values.CouleurTexte, &values.NivImg,
                         &values.NivZip,      &values.NivExe,       &values.NivCgi,       &values.NivSnd};
    const auto line = [&](size_t i) { return QString::fromUtf8(lines[qsizetype(i) % lines.size()]); };
    for (size_t i = 0; i < std::size(stored); ++i)
        *stored[i] = line(i);
    qs::Options options(values);
    options.fillForm(line(8), lines.size() % 2 ? qs::EditMode::ReadOnly : qs::EditMode::Editable, line(9));
    checkShown(options);
}

// The input as the settings file, loaded by the options dialog (slow: every read and default stored
// goes through the file).
void checkFile(const QByteArray& bytes) {
    fuzz::writeFile(configFile, bytes);
    // A new time stamp each run: the settings cache must see a new file even within one second.
    static qint64 stamp = 1'000'000'000;
    QFile file(configFile);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime);
    file.close();

    qs::ProgramValues values;
    qs::Options options(values);
    options.Form_Load();
    checkShown(options);
    const QString depth = qs::ParamètreLire(QStringLiteral("NiveauRep"));
    check(qs::DepthLimit::parse(depth).value >= 1, "the stored depth is understood");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = bytes.split('\n');
    checkValues(lines);
    checkStored(lines);
    if (bytes.startsWith('[') && fuzz::everyNth(64))
        checkFile(bytes);
    return 0;
}
