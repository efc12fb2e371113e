#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace qs {

// The 11 small pictures of the link tree's image list, painted in code (16 x 16, transparent ground):
// "htm", "mid", "wav", "ra", "gif", "jpg", "bmp", "exe", "txt", "cgi", "?". An unknown key gets "?".
QStringList linkIconKeys();
QImage linkIconImage(const QString& key);
// What the model hands to a view: a QIcon when the application has a GUI, otherwise the image (a QIcon
// cannot be made without one).
QVariant linkIcon(const QString& key);

} // namespace qs
