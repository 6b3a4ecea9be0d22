#include "lists/result_list.h"

#include <QCoreApplication>

#include "store/data_format.h"
#include "store/text_codec.h"

namespace trovix::lists {

using store::firstLine;
using store::kRecordSepText;
using store::lineOf;
using store::shortened;
using store::shortenedUtf8;
using store::utf8ToText;

namespace {

QString fromUtf8(std::string_view v) {
    return utf8ToText(v);
}

}  // namespace

ResultList::ResultList(const store::RecordArray& records) : records_(records) {
}

int ResultList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

QModelIndex ResultList::index(int row, int column, const QModelIndex& parent) const {
    return row >= 0 && row < announced_ && column == 0 && !parent.isValid()
               ? createIndex(row, column)
               : QModelIndex();
}

QVariant ResultList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return shownText(index.row());
    }
    if (role == Qt::UserRole) {
        return itemData(index.row());
    }
    return {};
}

QString ResultList::shownText(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    const qsizetype index = r.value;
    switch (kindOf(row)) {
        case Kind::Record: {
            if (!records_.contains(index)) {
                return {};
            }
            // Look for the end of the first line only as far as the row shows it.
            const std::string_view element = records_.utf8(index);
            const std::string_view head = element.substr(
                0, std::min(element.size(), static_cast<std::size_t>(kShownChars) * 4 + 8));
            const std::string_view line = firstLine(head);
            const QString shown = shortenedUtf8(line, kShownChars);
            return line.size() == head.size() && head.size() < element.size() &&
                           !shown.endsWith(QChar(0x2026))
                       ? shown + QChar(0x2026)
                       : shown;
        }
        case Kind::Continuation:
            return records_.contains(index)
                       ? kRecordSepText +
                             shortenedUtf8(lineOf(records_.utf8(index), lineNumberOf(row)),
                                           kShownChars)
                       : kRecordSepText;
        case Kind::NoMatch:
        case Kind::Header:
        case Kind::Text:
            return shortened(text(row), kShownChars);
    }
    return {};
}

ResultList::TextParts ResultList::textParts(int row) const {
    const qsizetype index = rows_[static_cast<std::size_t>(row)].value;
    switch (kindOf(row)) {
        case Kind::Record:
            return {
                {},
                records_.contains(index) ? firstLine(records_.utf8(index)) : std::string_view()};
        case Kind::Continuation:
            return {kRecordSepText, records_.contains(index)
                                        ? lineOf(records_.utf8(index), lineNumberOf(row))
                                        : std::string_view()};
        case Kind::NoMatch:
        case Kind::Header:
        case Kind::Text:
            return {text(row), {}};
    }
    return {};
}

ResultList::Update::~Update() {
    if (--list_.updateDepth_ == 0 && list_.changedInUpdate_) {
        list_.changedInUpdate_ = false;
        list_.announced_ = list_.count();
        list_.endResetModel();
        Q_EMIT list_.rowsChanged();
    }
}

qint32 ResultList::itemData(int row) const {
    return kindOf(row) == Kind::Continuation ? -1 : rows_[static_cast<std::size_t>(row)].value;
}

QString ResultList::text(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    switch (kindOf(row)) {
        case Kind::Record:
            return records_.contains(r.value) ? fromUtf8(firstLine(records_.utf8(r.value)))
                                              : QString();
        case Kind::Continuation:
            return records_.contains(r.value)
                       ? kRecordSepText +
                             fromUtf8(lineOf(records_.utf8(r.value), lineNumberOf(row)))
                       : kRecordSepText;
        case Kind::NoMatch:
            return QCoreApplication::translate("ResultList", "no match found");
        case Kind::Header:
        case Kind::Text:
            return texts_[indexOf(row)];
    }
    return {};
}

std::uint32_t ResultList::storeText(const QString& text) {
    texts_.push_back(text);
    return static_cast<std::uint32_t>(texts_.size() - 1);
}

bool ResultList::beforeOtherChange() {
    if (updateDepth_ == 0) {
        return true;
    }
    if (!changedInUpdate_) {
        changedInUpdate_ = true;
        Q_EMIT rowsChanging();
        beginResetModel();
    }
    return false;
}

void ResultList::beforeInserting(int first, int count) {
    if (beforeOtherChange()) {
        Q_EMIT rowsChanging();
        beginInsertRows(QModelIndex(), first, first + count - 1);
    }
}

void ResultList::afterInserting(int count) {
    if (updateDepth_ == 0) {
        announced_ += count;
        endInsertRows();
        Q_EMIT rowsChanged();
    }
}

void ResultList::beforeRemoving(int first, int count) {
    if (beforeOtherChange()) {
        Q_EMIT rowsChanging();
        beginRemoveRows(QModelIndex(), first, first + count - 1);
    }
}

void ResultList::afterRemoving(int count) {
    if (updateDepth_ == 0) {
        announced_ -= count;
        endRemoveRows();
        Q_EMIT rowsChanged();
    }
}

void ResultList::clear() {
    const int old = count();
    const bool tell = beforeOtherChange();
    if (tell && old > 0) {
        Q_EMIT rowsChanging();
        beginRemoveRows(QModelIndex(), 0, old - 1);
    }
    rows_.clear();
    texts_.clear();
    listIndex_ = -1;
    if (tell) {
        if (old > 0) {
            announced_ = 0;
            endRemoveRows();
            Q_EMIT rowsChanged();
        }
        Q_EMIT selectionChanged();
    }
}

void ResultList::addRecordRow(qint32 recordIndex) {
    beforeInserting(count(), 1);
    rows_.push_back(makeRow(Kind::Record, recordIndex, 0));
    afterInserting(1);
}

void ResultList::addRecordRows(std::span<const qint32> recordIndices) {
    if (recordIndices.empty()) {
        return;
    }
    const int first = count();
    const int added = static_cast<int>(recordIndices.size());
    beforeInserting(first, added);
    rows_.reserve(rows_.size() + recordIndices.size());
    for (const qint32 index : recordIndices) {
        rows_.push_back(makeRow(Kind::Record, index, 0));
    }
    afterInserting(added);
}

void ResultList::addContinuationRow(qint32 recordIndex, qint32 line) {
    beforeInserting(count(), 1);
    rows_.push_back(makeRow(Kind::Continuation, recordIndex, static_cast<std::uint32_t>(line)));
    afterInserting(1);
}

void ResultList::addNoMatchRow() {
    beforeInserting(count(), 1);
    rows_.push_back(makeRow(Kind::NoMatch, 0, 0));
    afterInserting(1);
}

void ResultList::addTextRow(const QString& text, qint32 itemData) {
    beforeInserting(count(), 1);
    rows_.push_back(makeRow(Kind::Text, itemData, storeText(text)));
    afterInserting(1);
}

void ResultList::insertHeaderRow(const QString& text) {
    beforeInserting(0, 1);
    rows_.insert(rows_.begin(), makeRow(Kind::Header, 0, storeText(text)));
    if (listIndex_ >= 0) {
        ++listIndex_;
    }
    afterInserting(1);
}

void ResultList::removeRow(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    beforeRemoving(row, 1);
    rows_.erase(rows_.begin() + row);
    if (listIndex_ == row) {
        listIndex_ = -1;
    } else if (listIndex_ > row) {
        --listIndex_;
    }
    afterRemoving(1);
    if (updateDepth_ == 0) {
        Q_EMIT selectionChanged();
    }
}

void ResultList::setRowText(int row, const QString& text) {
    if (row < 0 || row >= count()) {
        return;
    }
    if (kindOf(row) == Kind::Record && this->text(row) == text) {
        return;  // the row already shows this text and keeps following its record
    }
    const bool tell = beforeOtherChange();
    const qint32 tag = itemData(row);
    if (kindOf(row) == Kind::Text) {
        texts_[indexOf(row)] = text;
    } else {
        rows_[static_cast<std::size_t>(row)] = makeRow(Kind::Text, tag, storeText(text));
    }
    if (tell) {
        const QModelIndex at = index(row);
        Q_EMIT dataChanged(at, at, {Qt::DisplayRole});
    }
}

int ResultList::findRow(const QString& text) const {
    const QByteArray wanted = text.toUtf8();
    const std::string_view bytes(wanted.constData(), static_cast<std::size_t>(wanted.size()));
    for (int row = 0; row < count(); ++row) {
        const qsizetype index = rows_[static_cast<std::size_t>(row)].value;
        // A record row is compared in UTF-8, without making a text of every first line.
        const bool same = kindOf(row) == Kind::Record
                              ? records_.contains(index) && firstLine(records_.utf8(index)) == bytes
                              : this->text(row) == text;
        if (same) {
            return row;
        }
    }
    return -1;
}

void ResultList::renumberRecords(const std::vector<qint32>& newIndex) {
    const auto renumbered = [&](std::int32_t old) {
        return old >= 0 && static_cast<std::size_t>(old) < newIndex.size()
                   ? newIndex[static_cast<std::size_t>(old)]
                   : old;
    };
    for (Row& r : rows_) {
        const auto kind = static_cast<Kind>(r.packed >> 29);
        if (kind == Kind::Record || kind == Kind::Continuation || kind == Kind::Text) {
            r.value = renumbered(r.value);
        }
    }
}

void ResultList::setListIndex(int row) {
    if (row < -1 || row >= count() || row == listIndex_) {
        return;
    }
    const bool tell = beforeOtherChange();
    listIndex_ = row;
    if (tell) {
        Q_EMIT selectionChanged();
    }
    Q_EMIT clicked();
}

void ResultList::userSelect(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    if (row != listIndex_) {
        setListIndex(row);
    } else {
        Q_EMIT clicked();
    }
}

void ResultList::setBackColor(std::uint32_t rgb) {
    if (rgb != backColor_) {
        backColor_ = rgb;
        Q_EMIT appearanceChanged();
    }
}

void ResultList::setVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        Q_EMIT appearanceChanged();
    }
}

}  // namespace trovix::lists
