#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The generated index pages as pure functions: a plain struct of inputs gives the page's lines, each to
// be written followed by CR LF in Windows-1252. Names, titles and fragments are written as they are, with
// no escaping. A fragment text is one item: it begins with its own line break (see fragments.h).
namespace qs {

// The maker's address, linked from the home page's program identification.
inline constexpr const char16_t* kMakerAddress = u"https://quillsite.invalid/";

// The date of the "Mis à jour le" lines: "d.m.yy à h:mm" (5 December 2026 at 9:07 gives "5.12.26 à 9:07").
QString updateDate(const QDateTime& when);

// The site home page, "Index.html" and "Index.htm" of the site folder.
struct HomePage {
    QString couleurFond;
    QString couleurTitre;
    QString id;    // ProgrammeID()
    QString maker; // kMakerAddress
    QString header;
    QString footer;
    QString date; // updateDate()
    QString user;
    bool indexed = false; // the setting "Indexer" is exactly "Oui": links to the search and recent pages
    QStringList domains;  // in list order
};
QStringList homePageLines(const HomePage& page);

// A domain's index page, "Index.htm" of the domain folder.
struct DomainPage {
    QString domain;
    QString couleurFond;
    QString id;
    QString header; // the category-list fragments, shared by every domain
    QString footer;
    QStringList categories; // in list order
};
QStringList domainPageLines(const DomainPage& page);

// A category's frameset "Index.htm" and its left navigation page "IndexG.htm".
struct CategoryPage {
    struct Entry {
        QString title;
        QString file; // the page's file name in the category folder
    };
    QString domain;
    QString category;
    QString right; // the right frame's first page
    QString couleurFond;
    QString couleurTitre;
    QString couleurTexte; // the navigation page's background
    QString id;
    bool indexed = false;
    QList<Entry> pages; // in list order
};
// Colours ("rrggbb") for the text, links and visited links of a page on `background`, each with a
// contrast ratio of at least 4.5:1 against it: dark text and links on a light background, light ones on
// a dark background. A background that is not six hexadecimal digits counts as white.
//   readableOn("000090") -> {"FFFFFF", "FFFF99", "FFCCFF"}
//   readableOn("F0F0FF") -> {"000000", "0000CC", "660099"}
struct ReadableColours {
    QString text;
    QString link;
    QString vlink;
};
ReadableColours readableOn(const QString& background);
// The contrast ratio of two "rrggbb" colours, 1 to 21; 0 when either is not six hexadecimal digits.
double contrastRatio(const QString& a, const QString& b);

// The frameset's fixed opening (lines 1 to 4) and closing (lines 18 to 28).
QStringList sendheadert(const CategoryPage& page);
QStringList sendfootert(const CategoryPage& page);
QStringList framesetLines(const CategoryPage& page);
QStringList navigationLines(const CategoryPage& page);

} // namespace qs
