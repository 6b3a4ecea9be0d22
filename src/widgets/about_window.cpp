#include "widgets/about_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace trovix::widgets {
namespace {

// The picture, 431 x 110 pixels, drawn here so that its source is this code.
constexpr QSize kPictureSize{431, 110};

void paintPicture(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, kPictureSize.width(), kPictureSize.height());
    sky.setColorAt(0, QColor(32, 58, 110));
    sky.setColorAt(1, QColor(70, 130, 180));
    p.fillRect(QRect(QPoint(0, 0), kPictureSize), sky);
    // Three cards of records, the middle one under a magnifying glass.
    for (int card = 0; card < 3; ++card) {
        const QRectF r(250 + card * 50, 18 + card * 6, 70, 78);
        p.setPen(QPen(QColor(20, 30, 60), 1.5));
        p.setBrush(card == 1 ? QColor(255, 236, 236) : QColor(250, 250, 245));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(QPen(QColor(120, 130, 150), 2));
        for (int line = 0; line < 5; ++line) {
            const qreal y = r.top() + 14 + line * 12;
            p.drawLine(QPointF(r.left() + 8, y), QPointF(r.right() - 8 - (line % 2) * 16, y));
        }
    }
    p.setPen(QPen(QColor(255, 200, 60), 6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QPointF(330, 50), 24, 24);
    p.drawLine(QPointF(347, 67), QPointF(372, 92));
    // The name.
    QFont title = p.font();
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(22, 12, 230, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Trovix"));  // the program's name
    QFont tagline = p.font();
    tagline.setPixelSize(14);
    tagline.setBold(false);
    p.setFont(tagline);
    p.setPen(QColor(220, 232, 250));
    p.drawText(QRect(24, 70, 230, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("AboutWindow", "Find any record as you type"));
}

// Paints the picture into the screen's own pixels, so that it is sharp at every scale.
class Picture : public QWidget {
  public:
    explicit Picture(QWidget* parent) : QWidget(parent) { setFixedSize(kPictureSize); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintPicture(p);
    }
};

}  // namespace

AboutWindow::AboutWindow(const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QCoreApplication::translate("AboutWindow", "About Trovix"));
    auto* image = new Picture(this);
    image->setObjectName(QStringLiteral("picture"));
    image->setAccessibleName(QStringLiteral("Trovix"));  // the program's name
    // The credit line wraps to the picture's width rather than widen the window.
    auto* status = new QLabel(caption, this);
    status->setObjectName(QStringLiteral("lblStatus"));
    status->setWordWrap(true);
    status->setAlignment(Qt::AlignHCenter);
    status->setFixedWidth(kPictureSize.width() - 16);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(image);
    layout->addWidget(status, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace trovix::widgets
