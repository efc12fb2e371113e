#include "lib/helpers.h"
#include "version.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vendrel"));
    QApplication::setApplicationName(QString::fromUtf16(qs::kProgramName));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillsite"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLSITE_VERSION));
    QLabel label(QStringLiteral("Quillsite"));
    label.show();
    return QApplication::exec();
}
