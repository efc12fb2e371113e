#pragma once

#include <QWidget>

class QLabel;

namespace qs {

// The splash window shown while the program starts: the product name and "Version x.y.z".
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // "Version " and the major, minor and revision numbers joined by ".".
    static QString versionText();
};

} // namespace qs
