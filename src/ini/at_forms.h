#pragma once

#include <QString>
#include <optional>

// QSettings marks a value of a type other than text with an @ form: `@String(...)`,
// `@ByteArray(...)`, `@Variant(...)` (a QVariant's stream), `@Rect(...)` and the like.
namespace trovix::ini {

// The text behind an @ form: what `@String(...)`, `@ByteArray(...)` or `@Variant(...)` holds,
// when it holds text; `@@text` stands for `@text`, and a value that is no @ form for itself.
// Nothing for the forms of what the program never stores: rectangles, sizes, points, dates.
std::optional<QString> textOfAtForm(const QString& text);

}  // namespace trovix::ini
