#include "view/widgets/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStringList>

namespace trovix::view {
namespace {

constexpr int kSize = 32;

void drawText(QPainter& p, const QString& text, const QColor& colour, int pixelSize) {
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(pixelSize);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void drawPage(QPainter& p, const QRectF& r) {
    p.setBrush(Qt::white);
    p.drawRect(r);
}

void drawLines(QPainter& p, qreal left, qreal top, qreal width, int count, qreal step) {
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + i * step), QPointF(left + width, top + i * step));
    }
}

void paint(QPainter& p, const QString& image) {
    const QColor ink(40, 60, 110);
    p.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (image == QLatin1String("searchresults")) {
        p.drawEllipse(QPointF(13, 13), 8, 8);
        p.setPen(QPen(ink, 4.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(27, 27));
    } else if (image == QLatin1String("all2")) {
        drawLines(p, 5, 7, 22, 5, 4.5);
    } else if (image == QLatin1String("print")) {
        drawPage(p, QRectF(9, 4, 14, 10));
        p.setBrush(QColor(200, 205, 215));
        p.drawRoundedRect(QRectF(4, 13, 24, 10), 2, 2);
        drawPage(p, QRectF(9, 19, 14, 9));
    } else if (image == QLatin1String("edit") || image == QLatin1String("open")) {
        if (image == QLatin1String("open")) {
            drawPage(p, QRectF(5, 3, 17, 24));
            drawLines(p, 8, 9, 10, 3, 5);
        }
        p.setPen(QPen(QColor(190, 120, 20), 4.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 26), QPointF(27, 9));
    } else if (image == QLatin1String("data")) {
        p.drawRect(QRectF(5, 5, 22, 22));
        drawLines(p, 5, 10.5, 22, 3, 5.5);
        p.drawLine(QPointF(12, 5), QPointF(12, 27));
    } else if (image == QLatin1String("colorfont")) {
        drawText(p, QStringLiteral("A"), ink, 24);
    } else if (image == QLatin1String("copy")) {
        drawPage(p, QRectF(4, 4, 15, 18));
        drawPage(p, QRectF(12, 10, 15, 18));
    } else if (const qsizetype digit = QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                                   QStringLiteral("three")}
                                           .indexOf(image);
               digit >= 0) {
        drawPage(p, QRectF(6, 3, 20, 26));
        drawText(p, QString::number(digit + 1), ink, 18);
    } else if (image == QLatin1String("new")) {
        drawPage(p, QRectF(6, 3, 18, 24));
        p.setPen(QPen(QColor(30, 140, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 17), QPointF(22, 29));
        p.drawLine(QPointF(16, 23), QPointF(28, 23));
    } else if (image == QLatin1String("deletered")) {
        p.setPen(QPen(QColor(200, 30, 30), 4.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(24, 24));
        p.drawLine(QPointF(24, 8), QPointF(8, 24));
    } else if (image == QLatin1String("sort")) {
        drawLines(p, 4, 8, 12, 1, 0);
        drawLines(p, 4, 15, 9, 1, 0);
        drawLines(p, 4, 22, 6, 1, 0);
        p.drawLine(QPointF(23, 5), QPointF(23, 27));
        p.drawLine(QPointF(18, 22), QPointF(23, 27));
        p.drawLine(QPointF(28, 22), QPointF(23, 27));
    } else if (image == QLatin1String("drive")) {
        QPainterPath folder;
        folder.moveTo(3, 9);
        folder.lineTo(12, 9);
        folder.lineTo(15, 12);
        folder.lineTo(29, 12);
        folder.lineTo(29, 26);
        folder.lineTo(3, 26);
        folder.closeSubpath();
        p.setBrush(QColor(240, 200, 90));
        p.drawPath(folder);
    } else if (image == QLatin1String("save2")) {
        p.setBrush(QColor(70, 100, 170));
        p.drawRoundedRect(QRectF(5, 5, 22, 22), 2, 2);
        drawPage(p, QRectF(10, 5, 12, 8));
        drawPage(p, QRectF(9, 18, 14, 9));
    } else if (image == QLatin1String("refresh")) {
        p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 280 * 16);
        p.drawLine(QPointF(21, 3), QPointF(21, 9));
        p.drawLine(QPointF(21, 9), QPointF(15, 9));
    } else if (image == QLatin1String("email")) {
        drawPage(p, QRectF(4, 8, 24, 16));
        p.drawLine(QPointF(4, 8), QPointF(16, 17));
        p.drawLine(QPointF(28, 8), QPointF(16, 17));
    }
}

}  // namespace

QIcon toolbarIcon(const QString& image) {
    // Drawn at several sizes, so that the buttons stay sharp on screens scaled up to 400%.
    QIcon icon;
    for (const int scale : {1, 2, 4}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        paint(p, image);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace trovix::view
