#include "widgets/toolbar_icons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStringList>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "widgets/colours.h"

namespace trovix::widgets {
namespace {

// The pictures are drawn on a grid of 16 units, one pixel each on a normal screen: lines of one
// unit sit on half units so that they fill whole pixels at every whole scale.
constexpr qreal kGrid = 16;
// Coloured marks stand out from what they are drawn on by at least this contrast: 3:1 is the
// least for graphics, and the rest is room for the softened edges of slanted lines.
constexpr double kLeastContrast = 4.5;

// A coloured mark keeps its hue but is made lighter on a dark theme (darker on a light one)
// until it stands out from every ground it is drawn on.
QColor standingOut(QColor mark, std::initializer_list<QColor> grounds) {
    const QColor towards = luminance(*grounds.begin()) < 0.2 ? Qt::white : Qt::black;
    for (int step = 0; step < 12; ++step) {
        bool enough = true;
        for (const QColor& ground : grounds) {
            enough = enough && contrast(mark, ground) >= kLeastContrast;
        }
        if (enough) {
            break;
        }
        mark = mixed(mark, towards, 0.15);
    }
    return mark;
}

// The colours of one drawing, taken from the desktop's palette so that the pictures follow a
// light or a dark theme.
struct Inks {
    QColor line;   // outlines and strokes, the colour of the toolbar's text
    QColor paper;  // pages, the colour of text boxes
    QColor text;   // writing on a page
    QColor face;   // the printer's body, the colour of buttons
    QColor ground;
};

Inks inksOf(const QPalette& palette) {
    return {palette.color(QPalette::WindowText), palette.color(QPalette::Base),
            palette.color(QPalette::Text), palette.color(QPalette::Button),
            palette.color(QPalette::Window)};
}

QPen pen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPage(QPainter& p, const Inks& ink, const QRectF& r) {
    p.setPen(pen(ink.line, 1));
    p.setBrush(ink.paper);
    p.drawRect(r);
}

void drawLines(QPainter& p, qreal left, qreal top, qreal width, int count, qreal step) {
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + i * step), QPointF(left + width, top + i * step));
    }
}

void drawDigit(QPainter& p, const Inks& ink, int digit) {
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(ink.text);
    p.drawText(QRectF(2.5, 0.5, 11, 15), Qt::AlignCenter, QString::number(digit));
}

// A pencil from its tip at the lower left up to the right: an outlined body and a dark tip.
void drawPencil(QPainter& p, const Inks& ink, const QPointF& tip, qreal length) {
    const QPointF along(1 / std::sqrt(2.0), -1 / std::sqrt(2.0));
    const QPointF across(-along.y(), along.x());
    const QPointF wood = tip + along * 3.5;
    const QPointF end = tip + along * length;
    constexpr qreal kHalfWidth = 1.75;
    p.setPen(pen(ink.line, 1));
    p.setBrush(QColor(235, 160, 40));
    p.drawPolygon(QPolygonF({wood + across * kHalfWidth, end + across * kHalfWidth,
                             end - across * kHalfWidth, wood - across * kHalfWidth, tip}));
    p.setBrush(ink.line);
    p.drawPolygon(
        QPolygonF({tip, tip + along * 1.5 + across * 0.75, tip + along * 1.5 - across * 0.75}));
}

// A printer with a sheet going in at the top and a printed one coming out below.
void drawPrinter(QPainter& p, const Inks& ink) {
    drawPage(p, ink, QRectF(4.5, 1.5, 7, 5));
    p.setBrush(ink.face);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1, 1);
    drawPage(p, ink, QRectF(4.5, 9.5, 7, 5));
    p.setPen(pen(ink.text, 1));
    drawLines(p, 6.5, 11.5, 3, 2, 2);
}

// Lines getting shorter, and an arrow pointing down beside them.
void drawSortOrder(QPainter& p, const Inks& ink) {
    drawLines(p, 1.5, 3.5, 7, 1, 0);
    drawLines(p, 1.5, 7.5, 5, 1, 0);
    drawLines(p, 1.5, 11.5, 3, 1, 0);
    p.setPen(pen(ink.line, 1.5));
    p.drawLine(QPointF(12, 1.5), QPointF(12, 14));
    p.drawPolyline(QPolygonF({QPointF(9, 11), QPointF(12, 14), QPointF(15, 11)}));
}

// A folder with its tab at the upper left.
void drawFolder(QPainter& p) {
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6, 3.5);
    folder.lineTo(7.5, 5.5);
    folder.lineTo(14.5, 5.5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.setBrush(QColor(240, 200, 90));
    p.drawPath(folder);
}

// An arc around the middle with an arrowhead at its end.
void drawRefresh(QPainter& p, const Inks& ink) {
    p.setPen(pen(ink.line, 1.5));
    const QRectF round(2.5, 2.5, 11, 11);
    constexpr qreal kStart = 80, kSpan = 290;
    p.drawArc(round, static_cast<int>(kStart * 16), static_cast<int>(kSpan * 16));
    const qreal end = (kStart + kSpan) * std::numbers::pi / 180;
    const QPointF at(8 + 5.5 * std::cos(end), 8 - 5.5 * std::sin(end));
    const QPointF ahead(-std::sin(end), -std::cos(end));
    const QPointF across(std::cos(end), -std::sin(end));
    p.setPen(pen(ink.line, 1));
    p.setBrush(ink.line);
    p.drawPolygon(QPolygonF({at + ahead * 3.5, at + across * 2.5, at - across * 2.5}));
}

void drawPicture(QPainter& p, const QString& image, const Inks& ink) {
    p.setPen(pen(ink.line, 1));
    p.setBrush(Qt::NoBrush);
    if (image == QLatin1String("searchresults")) {
        p.setPen(pen(ink.line, 1.5));
        p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
        p.setPen(pen(ink.line, 2.5));
        p.drawLine(QPointF(10.5, 10.5), QPointF(14, 14));
    } else if (image == QLatin1String("all2")) {
        drawLines(p, 2.5, 3.5, 11, 4, 3);
    } else if (image == QLatin1String("print")) {
        drawPrinter(p, ink);
    } else if (image == QLatin1String("edit")) {
        drawPencil(p, ink, QPointF(2, 14), 16);
    } else if (image == QLatin1String("open")) {
        drawPage(p, ink, QRectF(1.5, 0.5, 10, 14));
        p.setPen(pen(ink.text, 1));
        drawLines(p, 3.5, 3.5, 6, 3, 3);
        drawPencil(p, ink, QPointF(6, 15), 12);
    } else if (image == QLatin1String("data")) {
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        drawLines(p, 1.5, 5.5, 13, 3, 3);
        p.drawLine(QPointF(5.5, 1.5), QPointF(5.5, 14.5));
    } else if (image == QLatin1String("colorfont")) {
        // A capital A drawn as strokes, the same on every system whatever its fonts.
        p.setPen(pen(ink.line, 2));
        p.drawPolyline(QPolygonF({QPointF(2.5, 14), QPointF(8, 2), QPointF(13.5, 14)}));
        p.drawLine(QPointF(5, 9.5), QPointF(11, 9.5));
    } else if (image == QLatin1String("copy")) {
        drawPage(p, ink, QRectF(1.5, 1.5, 8, 10));
        drawPage(p, ink, QRectF(6.5, 4.5, 8, 10));
    } else if (const qsizetype digit = QStringList{QStringLiteral("one"), QStringLiteral("two"),
                                                   QStringLiteral("three")}
                                           .indexOf(image);
               digit >= 0) {
        drawPage(p, ink, QRectF(2.5, 0.5, 11, 15));
        drawDigit(p, ink, static_cast<int>(digit) + 1);
    } else if (image == QLatin1String("new")) {
        drawPage(p, ink, QRectF(1.5, 0.5, 9, 12));
        p.setPen(pen(standingOut(QColor(30, 140, 40), {ink.ground, ink.paper}), 2));
        p.drawLine(QPointF(12, 8.5), QPointF(12, 15));
        p.drawLine(QPointF(8.5, 11.75), QPointF(15, 11.75));
    } else if (image == QLatin1String("deletered")) {
        p.setPen(pen(standingOut(QColor(200, 30, 30), {ink.ground}), 2.5));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    } else if (image == QLatin1String("sort")) {
        drawSortOrder(p, ink);
    } else if (image == QLatin1String("drive")) {
        drawFolder(p);
    } else if (image == QLatin1String("save2")) {
        p.setBrush(QColor(70, 100, 170));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        drawPage(p, ink, QRectF(4.5, 1.5, 7, 4));
        drawPage(p, ink, QRectF(3.5, 8.5, 9, 6));
    } else if (image == QLatin1String("refresh")) {
        drawRefresh(p, ink);
    } else if (image == QLatin1String("email")) {
        drawPage(p, ink, QRectF(1.5, 3.5, 13, 9));
        p.drawPolyline(QPolygonF({QPointF(1.5, 3.5), QPointF(8, 8.5), QPointF(14.5, 3.5)}));
    }
}

// Draws a picture at whatever size is asked for, in the palette's colours at the time, so that
// it stays sharp at every screen scale and follows a change of theme.
class ToolbarIconEngine : public QIconEngine {
  public:
    explicit ToolbarIconEngine(QString image, bool marked = false)
        : image_(std::move(image)), marked_(marked) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / kGrid, rect.height() / kGrid);
        const Inks ink = inksOf(QGuiApplication::palette());
        drawPicture(*painter, image_, ink);
        if (marked_) {
            // A dot in the top right corner, in the colour of the desktop's highlight.
            painter->setPen(pen(ink.ground, 1));
            painter->setBrush(QGuiApplication::palette().color(QPalette::Highlight));
            painter->drawEllipse(QPointF(12.5, 3.5), 3, 3);
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(128, 128)};
    }

    QIconEngine* clone() const override { return new ToolbarIconEngine(image_, marked_); }
    QString key() const override { return QStringLiteral("TrovixToolbarIcon"); }

  private:
    QString image_;
    bool marked_;
};

}  // namespace

QIcon toolbarIcon(const QString& image, bool marked) {
    return QIcon(new ToolbarIconEngine(image, marked));
}

}  // namespace trovix::widgets
