#include "store/result_list.h"

#include "store/data_file.h"
#include "store/text_codec.h"

namespace trovix::store {
namespace {

QString fromUtf8(std::string_view v) {
    return utf8ToText(v);
}

}  // namespace

std::string_view firstLine(std::string_view element) {
    const std::size_t at = findRecordSep(element);
    return at == std::string_view::npos ? element : element.substr(0, at);
}

std::string_view lineOf(std::string_view element, int line) {
    for (; line > 0; --line) {
        const std::size_t at = findRecordSep(element);
        if (at == std::string_view::npos) {
            return {};
        }
        element.remove_prefix(at + kRecordSep.size());
    }
    return firstLine(element);
}

int furtherLineCount(std::string_view element) {
    int count = 0;
    for (std::size_t at; (at = findRecordSep(element)) != std::string_view::npos; ++count) {
        element.remove_prefix(at + kRecordSep.size());
    }
    return count;
}

ResultList::ResultList(const RecordArray& records) : records_(records) {
}

ResultList::Update::~Update() {
    if (--list_.updateDepth_ == 0 && list_.changedInUpdate_) {
        list_.changedInUpdate_ = false;
        if (list_.observer_ != nullptr) {
            list_.observer_->rowsReset();
        }
    }
}

qint32 ResultList::itemData(int row) const {
    return kindOf(row) == Kind::Continuation ? -1 : rows_[static_cast<std::size_t>(row)].value;
}

QString ResultList::text(int row) const {
    const Row& r = rows_[static_cast<std::size_t>(row)];
    switch (kindOf(row)) {
        case Kind::Record: {
            const auto index = static_cast<qsizetype>(indexOf(row));
            return records_.contains(index) ? fromUtf8(firstLine(records_.utf8(index))) : QString();
        }
        case Kind::Continuation: {
            const auto index = static_cast<qsizetype>(indexOf(row));
            return records_.contains(index)
                       ? kRecordSepText + fromUtf8(lineOf(records_.utf8(index), r.value))
                       : kRecordSepText;
        }
        case Kind::NoMatch:
            return QStringLiteral("no match found");
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

void ResultList::notifyInserted(int first, int count) {
    if (updateDepth_ > 0) {
        changedInUpdate_ = true;
    } else if (observer_ != nullptr) {
        observer_->rowsInserted(first, count);
    }
}

void ResultList::notifyRemoved(int first, int count) {
    if (updateDepth_ > 0) {
        changedInUpdate_ = true;
    } else if (observer_ != nullptr) {
        observer_->rowsRemoved(first, count);
    }
}

void ResultList::clear() {
    const int old = count();
    rows_.clear();
    texts_.clear();
    listIndex_ = -1;
    if (updateDepth_ > 0) {
        changedInUpdate_ = true;
    } else if (observer_ != nullptr) {
        if (old > 0) {
            observer_->rowsRemoved(0, old);
        }
        observer_->selectionChanged();
    }
}

void ResultList::addRecordRow(qint32 recordIndex) {
    rows_.push_back(makeRow(Kind::Record, recordIndex, static_cast<std::uint32_t>(recordIndex)));
    notifyInserted(count() - 1, 1);
}

void ResultList::addContinuationRow(qint32 recordIndex, qint32 line) {
    rows_.push_back(makeRow(Kind::Continuation, line, static_cast<std::uint32_t>(recordIndex)));
    notifyInserted(count() - 1, 1);
}

void ResultList::addNoMatchRow() {
    rows_.push_back(makeRow(Kind::NoMatch, 0, 0));
    notifyInserted(count() - 1, 1);
}

void ResultList::addTextRow(const QString& text, qint32 itemData) {
    rows_.push_back(makeRow(Kind::Text, itemData, storeText(text)));
    notifyInserted(count() - 1, 1);
}

void ResultList::insertHeaderRow(const QString& text) {
    rows_.insert(rows_.begin(), makeRow(Kind::Header, 0, storeText(text)));
    if (listIndex_ >= 0) {
        ++listIndex_;
    }
    notifyInserted(0, 1);
}

void ResultList::removeRow(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    rows_.erase(rows_.begin() + row);
    if (listIndex_ == row) {
        listIndex_ = -1;
    } else if (listIndex_ > row) {
        --listIndex_;
    }
    notifyRemoved(row, 1);
    if (updateDepth_ == 0 && observer_ != nullptr) {
        observer_->selectionChanged();
    }
}

void ResultList::setRowText(int row, const QString& text) {
    if (row < 0 || row >= count()) {
        return;
    }
    if (kindOf(row) == Kind::Record && this->text(row) == text) {
        return;  // the row already shows this text and keeps following its record
    }
    const qint32 tag = itemData(row);
    if (kindOf(row) == Kind::Text) {
        texts_[indexOf(row)] = text;
    } else {
        rows_[static_cast<std::size_t>(row)] = makeRow(Kind::Text, tag, storeText(text));
    }
    if (updateDepth_ > 0) {
        changedInUpdate_ = true;
    } else if (observer_ != nullptr) {
        observer_->rowTextChanged(row);
    }
}

void ResultList::setListIndex(int row) {
    if (row < -1 || row >= count() || row == listIndex_) {
        return;
    }
    listIndex_ = row;
    if (updateDepth_ > 0) {
        changedInUpdate_ = true;
    } else if (observer_ != nullptr) {
        observer_->selectionChanged();
    }
    if (onClick_) {
        onClick_();
    }
}

void ResultList::userSelect(int row) {
    if (row < 0 || row >= count()) {
        return;
    }
    if (row != listIndex_) {
        setListIndex(row);
    } else if (onClick_) {
        onClick_();
    }
}

void ResultList::setBackColor(std::uint32_t rgb) {
    if (rgb != backColor_) {
        backColor_ = rgb;
        if (observer_ != nullptr) {
            observer_->appearanceChanged();
        }
    }
}

void ResultList::setVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        if (observer_ != nullptr) {
            observer_->appearanceChanged();
        }
    }
}

}  // namespace trovix::store
