#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

// Full-text search of a site that works from the disk: "Recherche.htm" in the site root and its index
// as plain JavaScript data files in "recherche/", loaded with <script> tags (file:// allows neither
// fetch nor workers).
//
//   <p>Le mod&egrave;le de l'&#339;uvre</p>  ->  text "Le modèle de l'œuvre"
//                                            ->  terms "le" "modele" "de" "oeuvre"
//
// recherche/index.js    how many pages, the categories and folders, the title files, the shard keys
// recherche/n<N>.js     the result lines of consecutive pages: folder, category, file name, title
// recherche/p<N>.js     the start of the text of pages N*kPagesPerChunk...
// recherche/t<key>.js   the terms beginning with <key> and their pages; a key is one or more letters,
//                       longer where a shorter one would make too big a file
namespace qs {

class Dialogs;
class IndexProgress;
struct IndexedPage;

// Lower case without accents, with the ligatures spelled out: "Œuvre ÉTÉ Æsop" -> "oeuvre ete aesop".
// The page's script applies the same folding to what the user types.
QString foldFrench(QStringView text);

// A page's bytes as text: UTF-8 when the page declares it or when the bytes are valid UTF-8 holding
// more than ASCII; Windows-1252 otherwise (a page declaring another charset is read as Windows-1252).
QString decodePage(const QByteArray& bytes);

// What a page has to search: its title and its searchable text, tags removed, entities decoded,
// blanks collapsed. The text is what lies between "<!-- BEGIN -->" and "<!-- END -->", or the whole
// <BODY> of a page without the markers; scripts, styles and comments are left out.
struct PageText {
    QString title;
    QString text;
};
PageText extractPageText(QStringView html);

// The folded words of a text in order, one- and over-long words left out: "L'Été 2026" -> "ete" "2026".
QStringList searchTerms(QStringView text);

inline constexpr qsizetype kPagesPerChunk = 64;
// Result lines fitting in kTitlesPreloaded files of kTitlesTarget bytes are loaded with the index, in
// those few files; more are cut in files of kTitlesOnDemandTarget bytes that a query loads as it needs.
inline constexpr qsizetype kTitlesTarget = qsizetype(512) * 1024;
inline constexpr qsizetype kTitlesPreloaded = 8;
inline constexpr qsizetype kTitlesOnDemandTarget = qsizetype(16) * 1024;
// A shard of terms is split by one more letter when it would outgrow this.
inline constexpr qsizetype kShardTarget = qsizetype(192) * 1024;
inline constexpr qsizetype kExcerptLength = 160;

// The index of a set of pages, built page by page, then written as files.
class FullTextIndex {
public:
    FullTextIndex();
    ~FullTextIndex();
    FullTextIndex(const FullTextIndex&) = delete;
    FullTextIndex& operator=(const FullTextIndex&) = delete;

    // `link` relative to the site root with "/", `category` as shown beside the result.
    void addPage(const QString& link, const QString& category, const PageText& page);
    qsizetype pages() const;

    // Every file of the index by its name inside "recherche/", ASCII JavaScript.
    QMap<QString, QByteArray> files() const;

private:
    struct Data;
    std::unique_ptr<Data> d_;
};

// "Recherche.htm" in the site's colours (six hex digits each), Windows-1252 with CR LF line ends.
QByteArray searchPage(const QString& background, const QString& title, const QString& text,
                      const QString& programId);

inline constexpr const char* kSearchPageFile = "Recherche.htm";
inline constexpr const char* kSearchDataFolder = "recherche";

// The full-text part of an indexing run, made ready beside the files it replaces and put in place
// with the two lists: a run that is stopped or fails leaves the previous ones as they were.
class FullTextStage {
public:
    // `root` ends with "/".
    FullTextStage(QString root, QString background, QString title, QString text);
    ~FullTextStage(); // removes whatever was prepared and not committed
    FullTextStage(const FullTextStage&) = delete;
    FullTextStage& operator=(const FullTextStage&) = delete;

    enum class Outcome { Ready, Stopped, Failed };
    // Reads the pages that the lists may show and writes the new files aside. A failure is told
    // through `dialogs` in French, naming the file; pages that cannot be read are added to *unreadable.
    Outcome prepare(const QList<IndexedPage>& pages, Dialogs& dialogs, IndexProgress& progress,
                    QStringList* unreadable);
    // Swaps the new files in; on failure the previous ones are back in place and `dialogs` says why.
    bool commit(Dialogs& dialogs);
    // Puts the previous files back after a commit, when what was to be committed with them failed.
    void rollback();
    // Drops the previous files for good, once everything is in place.
    void finish();

    qsizetype indexedPages() const { return indexed_; }

private:
    QString root_, background_, title_, text_;
    QString newFolder_, oldFolder_, newPage_, oldPage_;
    bool committed_ = false;
    bool hadFolder_ = false, hadPage_ = false;
    qsizetype indexed_ = 0;
};

} // namespace qs
