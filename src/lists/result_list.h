#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <span>
#include <vector>

#include "store/record_array.h"
#include "store/record_text.h"

namespace trovix::lists {

// One of the three result lists: rows of a text and an integer tag (the record index of a
// record row), a selected row, a background colour and a visibility.
//
// Rows are small: a record row holds the record's index and shows the record's first line, a
// continuation row holds the record and line number and shows "-----" and that line. Only rows
// given an explicit text (header, "no match found", a text written over a row) store it.
// Writing the selected row raises the click handler before the write returns.
//
// It is the Qt model a view shows: rows that come or go are announced before they change and
// reported after, so that a view never reads a row that is not what it was told; a row's new
// text, the selection and the appearance are reported after they changed.
class ResultList : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr std::uint32_t kWhite = 0xFFFFFF;
    static constexpr std::uint32_t kFocusColour = 0xFFE0E0;  // light red, as 0xRRGGBB

    explicit ResultList(const store::RecordArray& records);
    ResultList(const ResultList&) = delete;
    ResultList& operator=(const ResultList&) = delete;

    int count() const { return static_cast<int>(rows_.size()); }
    qint32 itemData(int row) const;
    QString text(int row) const;
    // A row's text as two parts that text() joins: a short start, and a line of a record as
    // its UTF-8 bytes, not copied, so that a line of any length costs nothing to hand on.
    struct TextParts {
        QString start;
        std::string_view line;
    };
    TextParts textParts(int row) const;
    // The text as a row shows it: a line longer than kShownChars characters is cut there and
    // ends in "…", so a line of a hundred megabytes costs no more to show than a short one.
    QString shownText(int row) const;
    static constexpr int kShownChars = 4000;
    bool isNoMatchRow(int row) const { return kindOf(row) == Kind::NoMatch; }
    bool isContinuationRow(int row) const { return kindOf(row) == Kind::Continuation; }
    bool isHeaderRow(int row) const { return kindOf(row) == Kind::Header; }

    void clear();
    void addRecordRow(qint32 recordIndex);
    // A record row for each record, in this order, at the cost of one change.
    void addRecordRows(std::span<const qint32> recordIndices);
    void addContinuationRow(qint32 recordIndex, qint32 line);
    void addNoMatchRow();
    void addTextRow(const QString& text, qint32 itemData);
    void insertHeaderRow(const QString& text);  // at row 0
    void removeRow(int row);
    // Replaces a row's text; its tag and the selection stay.
    void setRowText(int row, const QString& text);
    // The first row, from row 0 down, that shows exactly this text; -1 when none does.
    int findRow(const QString& text) const;
    // The records moved to new indices: every row that names a record names its new index
    // (newIndex[old]); what the list shows stays as it was.
    void renumberRecords(const std::vector<qint32>& newIndex);

    int listIndex() const { return listIndex_; }
    // Selects a row (-1 for none); a row that does not exist is ignored. When the selection
    // changes, the click handler runs before this returns.
    void setListIndex(int row);
    // A mouse button went down over the list, before any click.
    void userMouseDown() { Q_EMIT mouseDown(); }
    // A user's click or keyboard move onto a row: selects it and always runs the click handler.
    void userSelect(int row);

    std::uint32_t backColor() const { return backColor_; }
    void setBackColor(std::uint32_t rgb);
    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // The model: every row, its text shown (also to assistive technology) and its item data.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // A view that lays a list out asks for every row's index: answered without the calls the
    // base class makes for each, which a list of millions of rows would feel.
    QModelIndex index(int row, int column = 0,
                      const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // While an Update lives, changes are gathered: the first is announced as a reset, and the
    // views hear that reset at the Update's end. Rebuilding a list of a million rows costs one
    // notification, not a million.
    class Update {
      public:
        explicit Update(ResultList& list) : list_(list) { ++list_.updateDepth_; }
        ~Update();
        Update(const Update&) = delete;
        Update& operator=(const Update&) = delete;

      private:
        ResultList& list_;
    };

  Q_SIGNALS:
    // The selected row changed by the program, or the user chose a row: the click handling.
    void clicked();
    void mouseDown();
    // Around every change of rows: a view's selection model moves its current row by itself
    // meanwhile, which is no user's doing.
    void rowsChanging();
    void rowsChanged();
    void selectionChanged();
    void appearanceChanged();  // background colour or visibility

  private:
    enum class Kind : std::uint8_t { Record, Continuation, NoMatch, Header, Text };
    // A record's index is kept whole in `value` (a file holds fewer than 2^31 records); the
    // 29 bits below the kind hold what is smaller: a continuation row's line number (a line
    // takes at least a marker and a line break, so a record of a 1 GB file has fewer than 2^28
    // lines) or the index of a row's own text.
    struct Row {
        std::int32_t value;    // the item data; a continuation row's record index
        std::uint32_t packed;  // kind in the top three bits, line number or text index below
    };
    static constexpr std::uint32_t kIndexMask = (1u << 29) - 1;

    static Row makeRow(Kind kind, std::int32_t value, std::uint32_t index) {
        return Row{value, (static_cast<std::uint32_t>(kind) << 29) | (index & kIndexMask)};
    }
    Kind kindOf(int row) const {
        return static_cast<Kind>(rows_[static_cast<std::size_t>(row)].packed >> 29);
    }
    std::uint32_t indexOf(int row) const {
        return rows_[static_cast<std::size_t>(row)].packed & kIndexMask;
    }
    qint32 lineNumberOf(int row) const { return static_cast<qint32>(indexOf(row)); }
    std::uint32_t storeText(const QString& text);
    // Around a change of rows; inside an Update, only the first change is announced.
    void beforeInserting(int first, int count);
    void afterInserting(int count);
    void beforeRemoving(int first, int count);
    void afterRemoving(int count);
    // Before any other change: true when the views are to hear of it afterwards, false inside
    // an Update, which reports it at its end.
    bool beforeOtherChange();

    const store::RecordArray& records_;
    std::vector<Row> rows_;
    std::vector<QString> texts_;
    int listIndex_ = -1;
    std::uint32_t backColor_ = kWhite;
    bool visible_ = true;
    int updateDepth_ = 0;
    bool changedInUpdate_ = false;
    // The row count the views were told of: while an Update rebuilds the list, its count
    // moves ahead of it until the reset ends.
    int announced_ = 0;
};

}  // namespace trovix::lists
