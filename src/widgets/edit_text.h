#pragma once

#include <QString>

class QTextDocument;

namespace trovix::widgets {

// The edit box holds a record's lines separated by CR LF; the text widget shows each line as a
// paragraph. A CR, LF or paragraph separator inside a line is a character of the record, not a
// line break: it is shown as a visible stand-in (␍, ␊, ¶) carrying a mark in its format, so
// that editing other characters never turns it into a line break, and only a stand-in the
// program put there maps back; the same symbol typed or stored in the record stays itself.
void setEditText(QTextDocument& document, const QString& editText);

// The document's text in the edit box form.
QString editTextOf(const QTextDocument& document);

// The format property that marks a stand-in; its value is the character it stands for.
inline constexpr int kStandInProperty = 0x100000 + 1;  // QTextFormat::UserProperty + 1

}  // namespace trovix::widgets
