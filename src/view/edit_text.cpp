#include "view/edit_text.h"

namespace trovix::view {
namespace {

constexpr char16_t kCrSymbol = u'\u240D';
constexpr char16_t kLfSymbol = u'\u240A';
constexpr char16_t kParagraph = u'\u2029';

}  // namespace

QString toWidgetText(const QString& editText) {
    QString shown;
    shown.reserve(editText.size());
    for (qsizetype i = 0; i < editText.size(); ++i) {
        const QChar c = editText[i];
        if (c == u'\r' && i + 1 < editText.size() && editText[i + 1] == u'\n') {
            shown.append(u'\n');
            ++i;
        } else if (c == u'\r') {
            shown.append(QChar(kCrSymbol));
        } else if (c == u'\n') {
            shown.append(QChar(kLfSymbol));
        } else {
            shown.append(c);
        }
    }
    return shown;
}

QString fromWidgetText(const QString& rawText) {
    QString text;
    text.reserve(rawText.size() + 16);
    for (const QChar c : rawText) {
        if (c == kParagraph || c == u'\n') {
            text.append(QStringLiteral("\r\n"));
        } else if (c == kCrSymbol) {
            text.append(u'\r');
        } else if (c == kLfSymbol) {
            text.append(u'\n');
        } else {
            text.append(c);
        }
    }
    return text;
}

}  // namespace trovix::view
