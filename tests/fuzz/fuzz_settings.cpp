// Settings values on any bytes: each line of the input as a depth for the link tree, a colour typed in
// the options dialog, a moment given to --maintenant and, in turn, each stored text the dialog shows;
// one input in 64 that begins like an INI file ("[") is the settings file itself, loaded by the dialog.
// Whatever they hold, what reaches a page or a control must be well formed.
#include "fuzzcheck.h"

#include "explorer/scanner.h"
#include "lib/clock.h"
#include "lib/settings.h"
#include "shell/options.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

using fuzz::check;
using qs::Options;

QString configFile;

bool isHexColour(const QString& text) {
    static const QRegularExpression six(QStringLiteral("^[0-9A-F]{6}$"));
    return six.match(text).hasMatch();
}

// What the options dialog shows, whatever was stored: controls within their ranges.
void checkShown(const Options& options) {
    check(options.form.sNiv >= Options::kDepthMin && options.form.sNiv <= Options::kDepthMax,
          "depth on the slider");
    check(options.form.eNiv == Options::depthCaption(options.form.sNiv), "depth caption of the slider");
    for (const auto& row : options.form.bars)
        check(std::all_of(row.begin(), row.end(), [](int v) { return v >= 0 && v <= 255; }),
              "colour bars within 0 to 255");
    for (const Options::Row row : {Options::CF, Options::CL, Options::CT})
        check(isHexColour(options.hexText(row).mid(1)), "a colour box shows #RRGGBB");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Settings go to a scratch folder, never to the user's own.
    const QString home = fuzz::scratchFolder() + QStringLiteral("config");
    qputenv("XDG_CONFIG_HOME", home.toLocal8Bit());
    configFile = home + QStringLiteral("/Vendrel/quillsite.conf");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> lines = bytes.split('\n');
    qs::ProgramValues values;
    Options options(values);
    for (const QByteArray& line : lines) {
        const QString text = QString::fromUtf8(line);
        const qs::DepthLimit depth = qs::DepthLimit::parse(text);
        check(depth.value >= 1 && depth.value <= 20, "a depth the link tree understands");
        check(qs::DepthLimit::parse(depth.text()).value == depth.value, "a depth reads back");
        if (options.hexEdited(Options::CL, text))
            check(isHexColour(values.CouleurTitre), "a typed colour is stored as six hexadecimal digits");
        if (const std::optional<QDateTime> when = qs::parseMoment(text)) {
            const QString shown = when->toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            check(shown.size() == 16 && qs::parseMoment(shown) == when, "a moment reads back");
        }
    }
    QString* stored[] = {&values.CouleurFond, &values.CouleurTitre, &values.CouleurTexte, &values.NivImg,
                         &values.NivZip,      &values.NivExe,       &values.NivCgi,       &values.NivSnd};
    const auto line = [&](size_t i) { return QString::fromUtf8(lines[qsizetype(i) % lines.size()]); };
    for (size_t i = 0; i < std::size(stored); ++i)
        *stored[i] = line(i);
    options.fillForm(line(8), lines.size() % 2 ? qs::EditMode::ReadOnly : qs::EditMode::Editable, line(9));
    checkShown(options);

    if (!bytes.startsWith('[') || !fuzz::everyNth(64))
        return 0;
    fuzz::writeFile(configFile, bytes);
    // A new time stamp each time: the settings cache must see a new file even within one second.
    static qint64 stamp = 1'000'000'000;
    QFile file(configFile);
    check(file.open(QIODevice::ReadWrite) &&
              file.setFileTime(QDateTime::fromSecsSinceEpoch(++stamp), QFileDevice::FileModificationTime),
          "a settings file");
    Options loaded(values);
    loaded.Form_Load();
    checkShown(loaded);
    check(qs::DepthLimit::parse(qs::ParamètreLire(QStringLiteral("NiveauRep"))).value >= 1,
          "the stored depth is understood");
    return 0;
}
