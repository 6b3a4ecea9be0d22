#include "widgets/status_panels.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QRegularExpression>
#include <algorithm>
#include <numeric>

namespace trovix::widgets {
namespace {

// Counts grow as records are added; the panels keep room for counts of this many digits, so that
// they do not move about with every search.
constexpr int kCountDigits = 7;
// The share of any room to spare that each panel gets in a single row: the file panels twice
// as much as the row panel.
constexpr std::array<int, StatusPanels::kCount> kShares = {2, 2, 2, 1};

class PanelAccessible : public QAccessibleWidget {
  public:
    explicit PanelAccessible(QWidget* panel) : QAccessibleWidget(panel, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name || kind == QAccessible::Value) {
            return static_cast<const QLabel*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* panelAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(StatusPanel::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new PanelAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

// The text with every count widened to the digits it may grow to. A count is one run of digits,
// however long, so that a count of seven digits is widened once, not read as two counts.
QString withWidestCounts(const QString& text) {
    static const QRegularExpression count(QStringLiteral("\\d+"));
    QString widened;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : count.globalMatch(text)) {
        widened += text.mid(from, match.capturedStart() - from);
        widened +=
            QString(std::max<qsizetype>(match.capturedLength(), kCountDigits), QLatin1Char('0'));
        from = match.capturedEnd();
    }
    return widened + text.mid(from);
}

}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QWidget(parent) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(panelAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    for (int i = 0; i < kCount; ++i) {
        panels_[static_cast<std::size_t>(i)] = new StatusPanel(this);
    }
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusPanels::setText(int index, const QString& text, const QString& explanation) {
    StatusPanel* shown = panel(index);
    QString& explained = explanations_[static_cast<std::size_t>(index)];
    if (explained != explanation) {
        explained = explanation;
        shown->setAccessibleDescription(explanation);
        shown->setToolTip(explanation);
    }
    if (shown->text() != text) {
        shown->setText(text);
        arrange();
    }
}

int StatusPanels::roomFor(int index) const {
    const QString text = panel(index)->text();
    const QFontMetrics metrics = panel(index)->fontMetrics();
    return std::max(metrics.horizontalAdvance(text),
                    metrics.horizontalAdvance(withWidestCounts(text)));
}

int StatusPanels::gap() const {
    return fontMetrics().averageCharWidth() * 2;
}

int StatusPanels::lineHeight() const {
    return panel(0)->sizeHint().height();
}

QSize StatusPanels::sizeHint() const {
    int width = gap() * (kCount - 1);
    for (int i = 0; i < kCount; ++i) {
        width += roomFor(i);
    }
    return {width, minimumSizeHint().height()};
}

QSize StatusPanels::minimumSizeHint() const {
    return {0, rows_ * lineHeight()};
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void StatusPanels::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        arrange();
    }
}

void StatusPanels::arrange() {
    std::array<int, kCount> room{};
    for (int i = 0; i < kCount; ++i) {
        room[static_cast<std::size_t>(i)] = roomFor(i);
    }
    const int available = width();
    const int space = gap();
    const int oneRow = std::accumulate(room.begin(), room.end(), 0) + space * (kCount - 1);
    const int rows = oneRow <= available ? 1 : 2;
    if (rows != rows_) {
        rows_ = rows;
        updateGeometry();  // the status bar grows or shrinks by a line
    }

    // Each panel's place: its column's left edge and width, and its row.
    std::array<QRect, kCount> place;
    const int line = lineHeight();
    if (rows == 1) {
        const int spare = available - oneRow;
        const int shares = std::accumulate(kShares.begin(), kShares.end(), 0);
        int left = 0;
        for (std::size_t i = 0; i < kCount; ++i) {
            const int width = room[i] + spare * kShares[i] / shares;
            place[i] = QRect(left, 0, i + 1 == kCount ? available - left : width, line);
            left += width + space;
        }
    } else {
        // Files 1 and 2 above, file 3 and the row below, in two columns.
        const int first = std::max(room[0], room[2]);
        const int second = std::max(room[1], room[3]);
        const int needed = first + space + second;
        const int firstWidth = needed <= available
                                   ? first + (available - needed) / 2
                                   : (available - space) * first / std::max(1, first + second);
        const int secondLeft = firstWidth + space;
        for (std::size_t i = 0; i < kCount; ++i) {
            const int top = i < 2 ? 0 : line;
            place[i] = i % 2 == 0 ? QRect(0, top, firstWidth, line)
                                  : QRect(secondLeft, top, available - secondLeft, line);
        }
    }
    for (std::size_t i = 0; i < kCount; ++i) {
        StatusPanel* shown = panels_[i];
        shown->setGeometry(place[i]);
        const bool cut = shown->fontMetrics().horizontalAdvance(shown->text()) > place[i].width();
        if (explanations_[i].isEmpty()) {
            shown->setToolTip(cut ? shown->text() : QString());
        }
    }
}

}  // namespace trovix::widgets
