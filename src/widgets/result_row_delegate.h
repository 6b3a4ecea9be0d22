#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <vector>

#include "lists/result_list.h"
#include "search/match_ranges.h"

namespace trovix::widgets {

// The search whose terms a list or the edit box shows highlighted, with its case rule; an
// empty text while there is none, or while matches are not to be highlighted.
struct ShownSearch {
    QString text;
    bool ignoreCase = true;
};
using ShownSearchSource = std::function<ShownSearch()>;

// Draws a result list's rows: each one line high, and in a record's row the occurrences of
// the shown search's terms bold, in dark text on amber. Only rows being painted are looked at,
// so a list of a million rows costs no more than the screenful it shows; the row's text
// itself, which screen readers, copying and printing take, stays plain.
class ResultRowDelegate : public QStyledItemDelegate {
  public:
    ResultRowDelegate(const lists::ResultList& list, QObject* parent);

    void setShownSearchSource(ShownSearchSource source) { source_ = std::move(source); }
    // The stretches of a row's shown text drawn highlighted; none for the file name and
    // "no match found" rows.
    std::vector<search::TextRange> matchRanges(const QModelIndex& index) const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const lists::ResultList& list_;
    ShownSearchSource source_;
    mutable search::CachedMatchFinder finder_;
};

}  // namespace trovix::widgets
