// quillsite-makesite: makes a synthetic site for the benchmarks (see sitemaker.h).
#include "sitemaker.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

const char* const kHelp =
    "Usage : quillsite-makesite [OPTIONS] DOSSIER\n\n"
    "Fabrique un site de démonstration dans DOSSIER (neuf ou vide) : D domaines de C catégories de P pages\n"
    "au format de l'éditeur, avec des liens entre les pages, des images et quelques liens vers des cibles\n"
    "absentes. Les mêmes options et la même graine donnent les mêmes fichiers.\n\n"
    "Options :\n"
    "  --domaines D     nombre de domaines (10)\n"
    "  --categories C   catégories par domaine (10)\n"
    "  --pages P        pages par catégorie (10)\n"
    "  --graine N       graine du tirage (1)\n"
    "  --liens L        liens par page (6)\n"
    "  --images I       images par catégorie (2)\n"
    "  --absents A      liens vers une cible absente, pour mille (20)\n"
    "  --lignes N       lignes de texte par page (20)\n"
    "  -h, --aide       affiche cette aide\n";

void print(FILE* to, const QString& text) {
    const QByteArray b = text.toLocal8Bit();
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
    std::fputc('\n', to);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("aide"), QStringLiteral("help")}, {});
    struct Number {
        QCommandLineOption option;
        int* target;
        int minimum;
    };
    qs::bench::SiteShape shape;
    int seed = 1;
    const QList<Number> numbers = {
        {QCommandLineOption(QStringLiteral("domaines"), {}, QStringLiteral("D")), &shape.domains, 0},
        {QCommandLineOption(QStringLiteral("categories"), {}, QStringLiteral("C")), &shape.categories, 0},
        {QCommandLineOption(QStringLiteral("pages"), {}, QStringLiteral("P")), &shape.pages, 0},
        {QCommandLineOption(QStringLiteral("graine"), {}, QStringLiteral("N")), &seed, 0},
        {QCommandLineOption(QStringLiteral("liens"), {}, QStringLiteral("L")), &shape.links, 0},
        {QCommandLineOption(QStringLiteral("images"), {}, QStringLiteral("I")), &shape.images, 0},
        {QCommandLineOption(QStringLiteral("absents"), {}, QStringLiteral("A")), &shape.missingPerMille, 0},
        {QCommandLineOption(QStringLiteral("lignes"), {}, QStringLiteral("N")), &shape.lines, 1},
    };
    parser.addOption(help);
    for (const Number& n : numbers)
        parser.addOption(n.option);
    if (!parser.parse(QCoreApplication::arguments())) {
        print(stderr, parser.errorText() + u'\n' + QString::fromUtf8(kHelp));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, QString::fromUtf8(kHelp));
        return 0;
    }
    for (const Number& n : numbers) {
        if (!parser.isSet(n.option))
            continue;
        bool ok = false;
        const int value = parser.value(n.option).toInt(&ok);
        if (!ok || value < n.minimum) {
            print(stderr, QStringLiteral("Valeur incorrecte pour --%1 : « %2 ».")
                              .arg(n.option.names().first(), parser.value(n.option)));
            return 2;
        }
        *n.target = value;
    }
    shape.seed = quint64(seed);
    if (parser.positionalArguments().size() != 1) {
        print(stderr, QStringLiteral("Donnez un dossier, et un seul.\n") + QString::fromUtf8(kHelp));
        return 2;
    }
    QString error;
    const auto stats = qs::bench::makeSite(parser.positionalArguments().first(), shape, &error);
    if (!stats) {
        print(stderr, error);
        return 1;
    }
    print(stdout, QStringLiteral("%1 pages, %2 images, %3 liens dont %4 vers des cibles absentes, %5 octets.")
                      .arg(stats->pages)
                      .arg(stats->images)
                      .arg(stats->links)
                      .arg(stats->missingLinks)
                      .arg(stats->bytes));
    return 0;
}
