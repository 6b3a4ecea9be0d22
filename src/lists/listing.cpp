#include "lists/listing.h"

#include <vector>

namespace trovix::lists {
namespace {

// What a row was before a list is rebuilt from its own rows.
struct RowSnapshot {
    qint32 itemData;
    bool noMatch;
    bool continuation;
    bool header;
};

std::vector<RowSnapshot> snapshot(const ResultList& list) {
    std::vector<RowSnapshot> rows;
    rows.reserve(static_cast<std::size_t>(list.count()));
    for (int r = 0; r < list.count(); ++r) {
        rows.push_back({list.itemData(r), list.isNoMatchRow(r), list.isContinuationRow(r),
                        list.isHeaderRow(r)});
    }
    return rows;
}

// Rebuilds a list from its snapshot; each record row is written again from the array.
void rebuild(ResultList& list, const store::RecordArray& records, const QString& fileName,
             bool displayFileNames, bool fullDataView) {
    const std::vector<RowSnapshot> rows = snapshot(list);
    ResultList::Update update(list);
    list.clear();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const RowSnapshot& row = rows[r];
        if (r == 0 && displayFileNames) {
            list.insertHeaderRow(headerRowText(fileName));
        } else if (row.noMatch) {
            list.addNoMatchRow();
        } else if (row.continuation || row.header) {
            continue;  // rewritten from its record, or dropped when contracting
        } else if (records.contains(row.itemData)) {
            appendRecordRows(list, records, row.itemData, fullDataView);
        }
    }
}

}  // namespace

QString headerRowText(const QString& fileName) {
    return QStringLiteral("... ") + fileName + QStringLiteral(" ...");  // marks, not words
}

bool isBlankRecord(std::string_view element) {
    return element.find_first_not_of(' ') == std::string_view::npos;
}

std::vector<qint32> blankRecordsToRemove(const store::RecordArray& records) {
    std::vector<qint32> blanks;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (isBlankRecord(records.utf8(i))) {
            blanks.push_back(static_cast<qint32>(i));
        }
    }
    const qsizetype last = records.size() - 1;
    const bool endsWithBreak = last >= 0 && records.utf8(last).empty();
    if (endsWithBreak && static_cast<qsizetype>(blanks.size()) < records.size()) {
        blanks.pop_back();
    }
    return blanks;
}

void appendRecordRows(ResultList& list, const store::RecordArray& records, qint32 index,
                      bool fullDataView) {
    list.addRecordRow(index);
    if (fullDataView) {
        const int further = store::furtherLineCount(records.utf8(index));
        for (int line = 1; line <= further; ++line) {
            list.addContinuationRow(index, line);
        }
    }
}

void appendRecordsRows(ResultList& list, const store::RecordArray& records,
                       std::span<const qint32> indices, bool fullDataView) {
    if (!fullDataView) {
        list.addRecordRows(indices);
        return;
    }
    for (const qint32 index : indices) {
        appendRecordRows(list, records, index, true);
    }
}

void listAllRecords(ResultList& list, const store::RecordArray& records, const QString& fileName,
                    const ListingOptions& options) {
    ResultList::Update update(list);
    list.clear();
    if (options.displayFileNames) {
        list.insertHeaderRow(headerRowText(fileName));
    }
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!isBlankRecord(records.utf8(i))) {
            appendRecordRows(list, records, static_cast<qint32>(i), options.fullDataView);
        }
    }
}

void expandList(ResultList& list, const store::RecordArray& records, const QString& fileName,
                bool displayFileNames) {
    rebuild(list, records, fileName, displayFileNames, true);
}

void contractList(ResultList& list, const store::RecordArray& records, const QString& fileName,
                  bool displayFileNames) {
    rebuild(list, records, fileName, displayFileNames, false);
}

}  // namespace trovix::lists
