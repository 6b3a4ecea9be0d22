#include "widgets/result_row_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <limits>

#include "view/match_look.h"

namespace trovix::widgets {
namespace {

QColor colourOf(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

ResultRowDelegate::ResultRowDelegate(const lists::ResultList& list, QObject* parent)
    : QStyledItemDelegate(parent), list_(list) {
}

std::vector<search::TextRange> ResultRowDelegate::matchRanges(const QModelIndex& index) const {
    const int row = index.row();
    if (!source_ || !index.isValid() || row >= list_.count() || list_.isHeaderRow(row) ||
        list_.isNoMatchRow(row)) {
        return {};
    }
    const ShownSearch shown = source_();
    const search::MatchFinder& finder = finder_.finderFor(shown.text, shown.ignoreCase);
    if (finder.findsNothing()) {
        return {};
    }
    return finder.rangesIn(index.data(Qt::DisplayRole).toString());
}

QSize ResultRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    // Every row is one line high in the list's font, whatever its text holds: the list asks one
    // row for its size and gives it to all, so no row's text may make that costly or tall. The
    // width is that of the row's own text, which a row cuts to a few thousand characters.
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionViewItem probe(option);
    initStyleOption(&probe, index);
    probe.text = QStringLiteral("Mg");  // not shown: measures a line's height
    const QStyle* style = probe.widget != nullptr ? probe.widget->style() : QApplication::style();
    size.setHeight(
        style->sizeFromContents(QStyle::CT_ItemViewItem, &probe, QSize(), probe.widget).height());
    return size;
}

void ResultRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const std::vector<search::TextRange> ranges = matchRanges(index);
    if (ranges.empty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QWidget* widget = item.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    // The place of the text as the style would draw it, within its margins.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                           .adjusted(margin, 0, -margin, 0);
    const QString text = item.text;
    // Background, selection and focus frame as usual; the text is drawn here.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QTextCharFormat look;
    look.setFontWeight(QFont::Bold);
    look.setBackground(colourOf(view::kMatchBackground));
    look.setForeground(colourOf(view::kMatchText));
    QTextLayout layout(QString(), item.font, painter->device());
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);
    textOption.setTextDirection(item.direction);
    textOption.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);  // placed below
    layout.setTextOption(textOption);
    // Lays the text out with the matches up to `kept` marked; the line it makes.
    const auto lay = [&](const QString& shown, qsizetype kept) {
        QList<QTextLayout::FormatRange> formats;
        for (const search::TextRange& range : ranges) {
            const qsizetype end = std::min(range.start + range.length, kept);
            if (range.start < end) {
                formats.append(
                    {static_cast<int>(range.start), static_cast<int>(end - range.start), look});
            }
        }
        layout.setText(shown);
        layout.setFormats(formats);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(std::numeric_limits<int>::max() / 4);
        layout.endLayout();
        return line;
    };
    QTextLine line = lay(text, text.size());
    if (line.naturalTextWidth() > area.width()) {
        // Too wide: cut short with "…" as the style would, leaving room for what the bold parts
        // add.
        QFont bold = item.font;
        bold.setBold(true);
        const QFontMetrics plainMetrics(item.font);
        const QFontMetrics boldMetrics(bold);
        int boldExtra = 0;
        for (const search::TextRange& range : ranges) {
            const QString part = text.mid(range.start, range.length);
            boldExtra += boldMetrics.horizontalAdvance(part) - plainMetrics.horizontalAdvance(part);
        }
        const QString shown = plainMetrics.elidedText(text, item.textElideMode,
                                                      std::max(0, area.width() - boldExtra));
        line = lay(shown, shown == text ? text.size() : shown.size() - 1);
    }

    const QPalette::ColorGroup group =
        !item.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
        : item.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                    : QPalette::Inactive;
    const bool selected = item.state.testFlag(QStyle::State_Selected);
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->setPen(
        item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    // Where the style would put the text: at the left, or at the right in a right-to-left
    // window.
    const Qt::Alignment align = QStyle::visualAlignment(item.direction, item.displayAlignment);
    const qreal left = align.testFlag(Qt::AlignRight)
                           ? area.left() + area.width() - line.naturalTextWidth()
                           : area.left();
    const qreal top = area.top() + (area.height() - line.height()) / 2;
    layout.draw(painter, QPointF(left, top));
    painter->restore();
}

}  // namespace trovix::widgets
