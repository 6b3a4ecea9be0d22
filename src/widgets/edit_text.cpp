#include "widgets/edit_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace trovix::widgets {
namespace {

constexpr char16_t kParagraph = u'\u2029';

// The visible symbol for a character that would otherwise break the line.
QChar standInFor(QChar c) {
    switch (c.unicode()) {
        case u'\r':
            return QChar(u'\u240D');
        case u'\n':
            return QChar(u'\u240A');
        default:
            return QChar(u'\u00B6');
    }
}

bool needsStandIn(QChar c) {
    return c == u'\r' || c == u'\n' || c == kParagraph;
}

}  // namespace

void setEditText(QTextDocument& document, const QString& editText) {
    // Lines of the record; a CR LF inside the text is the only line break.
    const QStringList lines = editText.split(QStringLiteral("\r\n"));
    bool plain = true;
    for (const QString& line : lines) {
        for (const QChar c : line) {
            plain = plain && !needsStandIn(c);
        }
    }
    if (plain) {
        document.setPlainText(lines.join(u'\n'));
        return;
    }
    document.clear();
    QTextCursor cursor(&document);
    const QTextCharFormat normal;
    for (qsizetype l = 0; l < lines.size(); ++l) {
        if (l > 0) {
            cursor.insertBlock(QTextBlockFormat(), normal);
        }
        const QString& line = lines[l];
        qsizetype runStart = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i < line.size() && !needsStandIn(line[i])) {
                continue;
            }
            cursor.insertText(line.mid(runStart, i - runStart), normal);
            if (i < line.size()) {
                QTextCharFormat marked;
                marked.setProperty(kStandInProperty, static_cast<int>(line[i].unicode()));
                cursor.insertText(QString(standInFor(line[i])), marked);
            }
            runStart = i + 1;
        }
    }
}

QString editTextOf(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin()) {
            text.append(QStringLiteral("\r\n"));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString part = fragment.text();
            const QVariant original = fragment.charFormat().property(kStandInProperty);
            if (!original.isValid()) {
                text.append(part);
                continue;
            }
            const QChar c(static_cast<char16_t>(original.toInt()));
            for (const QChar shown : part) {
                text.append(shown == standInFor(c) ? c : shown);
            }
        }
    }
    return text;
}

}  // namespace trovix::widgets
