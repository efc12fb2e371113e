#include "explorer/icons.h"

#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qs {

namespace {

constexpr int kSize = 16;

// A sheet of paper with a folded corner.
void paper(QPainter& p, const QColor& fill) {
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(10.5, 0.5);
    sheet.lineTo(13.5, 3.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(fill);
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}}));
}

void lines(QPainter& p, const QColor& ink, int from, int to) {
    p.setPen(QPen(ink, 1));
    for (int y = from; y <= to; y += 2)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(y < 5 ? 8.5 : 11.5, y + 0.5));
}

// A framed landscape: sky, a hill, a sun; the frame's colour tells the formats apart.
void picture(QPainter& p, const QColor& frame, const QColor& hill) {
    p.setPen(QPen(frame, 2));
    p.setBrush(QColor(150, 200, 255));
    p.drawRect(QRectF(1, 2, 14, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 0));
    p.drawEllipse(QPointF(11, 6), 2, 2);
    p.setBrush(hill);
    QPainterPath h;
    h.moveTo(2, 13);
    h.lineTo(6, 7);
    h.lineTo(9, 11);
    h.lineTo(11, 9);
    h.lineTo(14, 13);
    h.closeSubpath();
    p.drawPath(h);
}

void paint(QPainter& p, const QString& key) {
    if (key == u"htm") {
        paper(p, Qt::white);
        p.setPen(QPen(QColor(0, 90, 200), 1));
        p.setBrush(QColor(120, 180, 255));
        p.drawEllipse(QPointF(8, 9.5), 3.5, 3.5);
        p.drawLine(QPointF(4.5, 9.5), QPointF(11.5, 9.5));
        p.drawLine(QPointF(8, 6), QPointF(8, 13));
    } else if (key == u"txt") {
        paper(p, Qt::white);
        lines(p, QColor(40, 40, 40), 3, 13);
    } else if (key == u"gif") {
        picture(p, QColor(230, 120, 0), QColor(40, 150, 40));
    } else if (key == u"jpg") {
        picture(p, QColor(0, 120, 60), QColor(30, 110, 30));
    } else if (key == u"bmp") {
        picture(p, QColor(110, 110, 110), QColor(60, 140, 60));
    } else if (key == u"mid") {
        // Two quavers joined by a beam.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 120));
        p.drawEllipse(QPointF(4.5, 12.5), 2.5, 2);
        p.drawEllipse(QPointF(11.5, 11), 2.5, 2);
        p.setPen(QPen(QColor(30, 30, 120), 1.5));
        p.drawLine(QPointF(6.5, 12.5), QPointF(6.5, 3));
        p.drawLine(QPointF(13.5, 11), QPointF(13.5, 1.5));
        p.setPen(QPen(QColor(30, 30, 120), 2.5));
        p.drawLine(QPointF(6.5, 3.5), QPointF(13.5, 2));
    } else if (key == u"wav") {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 40, 20));
        p.drawRoundedRect(QRectF(0.5, 2.5, 15, 11), 2, 2);
        p.setPen(QPen(QColor(80, 255, 80), 1.2));
        QPainterPath wave;
        wave.moveTo(1.5, 8);
        for (int x = 2; x <= 14; ++x)
            wave.lineTo(x, 8 + ((x % 4 == 0) ? -4 : (x % 4 == 2) ? 4 : 0) * (x < 8 ? 0.6 : 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
    } else if (key == u"ra") {
        // A loudspeaker and its waves.
        p.setPen(QPen(QColor(150, 0, 0), 1));
        p.setBrush(QColor(220, 40, 40));
        p.drawPolygon(QPolygonF({{1.5, 6}, {4.5, 6}, {8.5, 2.5}, {8.5, 13.5}, {4.5, 10}, {1.5, 10}}));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 0, 0), 1.3));
        p.drawArc(QRectF(6, 5, 6, 6), -60 * 16, 120 * 16);
        p.drawArc(QRectF(5, 2.5, 10, 11), -60 * 16, 120 * 16);
    } else if (key == u"exe") {
        // A program window.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(0.5, 2.5, 15, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 60, 170));
        p.drawRect(QRectF(1, 3, 14, 3));
        p.setBrush(QColor(200, 60, 60));
        p.drawRect(QRectF(12, 3.5, 2, 2));
    } else if (key == u"cgi") {
        // A gear.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 90, 50));
        p.translate(8, 8);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-1.5, -7.5, 3, 4));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 5, 5);
        p.setBrush(QColor(240, 230, 210));
        p.drawEllipse(QPointF(0, 0), 2, 2);
    } else {
        // A question mark in a yellow disc.
        p.setPen(QPen(QColor(150, 110, 0), 1));
        p.setBrush(QColor(255, 220, 60));
        p.drawEllipse(QPointF(8, 8), 7.3, 7.3);
        p.setPen(QPen(QColor(60, 40, 0), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath q;
        q.moveTo(5.5, 6);
        q.arcTo(QRectF(5.5, 3, 5, 5), 180, -270);
        q.lineTo(8, 9.5);
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 40, 0));
        p.drawEllipse(QPointF(8, 12.3), 1.2, 1.2);
    }
}

} // namespace

QStringList linkIconKeys() {
    return {QStringLiteral("htm"), QStringLiteral("mid"), QStringLiteral("wav"), QStringLiteral("ra"),
            QStringLiteral("gif"), QStringLiteral("jpg"), QStringLiteral("bmp"), QStringLiteral("exe"),
            QStringLiteral("txt"), QStringLiteral("cgi"), QStringLiteral("?")};
}

QImage linkIconImage(const QString& keyIn) {
    static QHash<QString, QImage> cache;
    const QString key = linkIconKeys().contains(keyIn) ? keyIn : QStringLiteral("?");
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, key);
    }
    cache.insert(key, image);
    return image;
}

QVariant linkIcon(const QString& key) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return linkIconImage(key);
    static QHash<QString, QIcon> icons;
    auto it = icons.constFind(key);
    if (it == icons.constEnd())
        it = icons.insert(key, QIcon(QPixmap::fromImage(linkIconImage(key))));
    return *it;
}

} // namespace qs
