#pragma once

#include <QString>
#include <span>
#include <string_view>
#include <vector>

#include "lists/result_list.h"
#include "store/record_array.h"

namespace trovix::lists {

struct ListingOptions {
    bool displayFileNames = false;  // a header row with the file name stands on top
    bool fullDataView = false;      // every line of a record has its own row
};

// The text of the header row: "... " + file name + " ...".
QString headerRowText(const QString& fileName);

// A record whose text is empty or spaces only; it is kept in the file but never listed.
bool isBlankRecord(std::string_view element);

// The records a compaction takes out, in order: every blank record but an empty last element,
// which stands for the line break that ends the file, as long as a record is left for it to end.
std::vector<qint32> blankRecordsToRemove(const store::RecordArray& records);

// Appends a record row for record `index` and, in full data view, one continuation row for
// each further line of the record.
void appendRecordRows(ResultList& list, const store::RecordArray& records, qint32 index,
                      bool fullDataView);

// Appends the rows of these records, in this order, as appendRecordRows() does for each.
void appendRecordsRows(ResultList& list, const store::RecordArray& records,
                       std::span<const qint32> indices, bool fullDataView);

// Rebuilds a list with every non-blank record of the array, in array order.
void listAllRecords(ResultList& list, const store::RecordArray& records, const QString& fileName,
                    const ListingOptions& options);

// Turns the rows a list holds into full data view: each record row is followed by a row for
// every further line of its record. Header and "no match found" rows stay.
void expandList(ResultList& list, const store::RecordArray& records, const QString& fileName,
                bool displayFileNames);

// Turns a list in full data view back into one row per record.
void contractList(ResultList& list, const store::RecordArray& records, const QString& fileName,
                  bool displayFileNames);

}  // namespace trovix::lists
