#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The image index of a category: "ImgIndex.htm" in the category folder shows every GIF and JPEG image
// of the folder with its file name, one table row each, so that the author sees what is there. It is a
// page of the category like the others (title "Index des images"), so it is listed with them.
namespace qs {

class Clock;
class Dialogs;

inline constexpr const char16_t* kImgIndexFile = u"ImgIndex.htm";

struct ImgIndexPage {
    QString category;   // the category whose folder is listed (line 7)
    QStringList images; // file names, in list order
    QString date;       // updateDate()
    QString user;
    QString current; // the main window's current category when the page is written ("" when none)
};
QStringList imgIndexLines(const ImgIndexPage& page);

// The images of a folder: its files named "*.jpg", "*.gif" or "*.jpeg" in any case, in ascending order
// of their names without regard to case; names only. Hidden files are left out.
//   logo.gif, Photo.JPG, plan.jpeg, scan.bmp, anim.png  ->  logo.gif, Photo.JPG, plan.jpeg
QStringList imageFiles(const QString& folder);

// Writes the image index of a category folder, whole or not at all. False after a French message naming
// the file when it cannot be written.
bool writeImgIndex(const QString& categoryFolder, const QString& category, const QString& current,
                   const Clock& clock, Dialogs& dialogs);

} // namespace qs
