#pragma once

#include <QString>

namespace trovix::view {

// The edit box holds a record's lines separated by CR LF. The text widget shows each line as a
// paragraph; a CR or LF inside a line (a character of the record, not a line break) is shown as
// the visible symbol ␍ or ␊, so that editing other characters never turns it into a new line.
QString toWidgetText(const QString& editText);

// The widget's raw text (paragraphs separated by U+2029) back in the edit box form.
QString fromWidgetText(const QString& rawText);

}  // namespace trovix::view
