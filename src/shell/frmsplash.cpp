#include "shell/frmsplash.h"

#include "version.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace qs {

frmSplash::frmSplash(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(440, 240);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("#Frame1 { background: #F0F0FF; border: 2px solid #509000; }"
                                        "QLabel { color: #000090; }"));

    auto* product = new QLabel(QStringLiteral("Quillsite"), frame);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(big.pointSize() * 3);
    big.setBold(true);
    product->setFont(big);
    product->setStyleSheet(QStringLiteral("color: #509000;"));
    product->setAlignment(Qt::AlignCenter);

    auto* description = new QLabel(QStringLiteral("Création et entretien de sites de documentation"), frame);
    description->setObjectName(QStringLiteral("lblPlatform"));
    description->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(versionText(), frame);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setAlignment(Qt::AlignCenter);

    auto* loading = new QLabel(QStringLiteral("Chargement..."), frame);
    loading->setObjectName(QStringLiteral("lblWarning"));
    loading->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 24, 24, 16);
    inner->addStretch(1);
    inner->addWidget(product);
    inner->addWidget(description);
    inner->addSpacing(12);
    inner->addWidget(version);
    inner->addStretch(1);
    inner->addWidget(loading);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

QString frmSplash::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(QUILLSITE_VERSION_MAJOR)
        .arg(QUILLSITE_VERSION_MINOR)
        .arg(QUILLSITE_VERSION_PATCH);
}

} // namespace qs
