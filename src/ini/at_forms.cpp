#include "ini/at_forms.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringList>
#include <QVariant>

#include "ini/ini_bytes.h"

namespace trovix::ini {
namespace {

// Whether the stream of a QVariant (of the Qt 4.0 format, as QSettings writes it) holds a number,
// a character, a date or time, a text, a list of texts, bytes or a URL, and no length in it
// claims more bytes than follow. QDataStream makes room for what a length claims before it reads,
// and a made-up length would take all memory.
bool isPlainVariant(const QByteArray& bytes) {
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    const auto remaining = [&] { return bytes.size() - stream.device()->pos(); };
    const auto lengthFits = [&] {
        quint32 length = 0;
        stream >> length;
        if (length == 0xffffffffU) {
            return stream.status() == QDataStream::Ok;  // the null text
        }
        return stream.status() == QDataStream::Ok && length <= remaining() &&
               stream.skipRawData(static_cast<int>(length)) == static_cast<int>(length);
    };
    quint32 type = 0;
    stream >> type;
    switch (type) {
        case 1:   // bool
        case 2:   // int
        case 3:   // unsigned int
        case 4:   // long long
        case 5:   // unsigned long long
        case 6:   // double
        case 7:   // a character
        case 14:  // date
        case 15:  // time
        case 16:  // date and time
            return true;
        case 10:  // text
        case 12:  // bytes
        case 17:  // a URL, as its text
            return lengthFits();
        case 11: {  // a list of texts
            quint32 count = 0;
            stream >> count;
            if (count > remaining() / 4) {
                return false;
            }
            for (quint32 i = 0; i < count; ++i) {
                if (!lengthFits()) {
                    return false;
                }
            }
            return true;
        }
        default:
            return false;
    }
}

std::optional<QString> variantText(const QByteArray& bytes) {
    if (!isPlainVariant(bytes)) {
        return std::nullopt;
    }
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_4_0);
    QVariant variant;
    stream >> variant;
    if (stream.status() != QDataStream::Ok) {
        return std::nullopt;
    }
    if (variant.typeId() == QMetaType::QStringList) {
        return variant.toStringList().join(QStringLiteral(", "));
    }
    if (!variant.isValid() || !variant.canConvert<QString>()) {
        return std::nullopt;
    }
    return variant.toString();
}

}  // namespace

std::optional<QString> textOfAtForm(const QString& text) {
    if (!text.startsWith(u'@')) {
        return text;
    }
    const auto inner = [&text](qsizetype prefix) { return text.mid(prefix).chopped(1); };
    if (text.endsWith(u')')) {
        if (text.startsWith(QLatin1String("@String("))) {
            return inner(8);
        }
        if (text.startsWith(QLatin1String("@ByteArray("))) {
            const QByteArray bytes = inner(11).toLatin1();
            return bytesToText(bytes, isValidUtf8(bytes));
        }
        if (text.startsWith(QLatin1String("@Variant("))) {
            return variantText(inner(9).toLatin1());
        }
        // Rectangles, sizes, points, dates and "no value" are nothing the program stores.
        for (const char* form : {"@Rect(", "@Size(", "@Point(", "@DateTime(", "@Invalid("}) {
            if (text.startsWith(QLatin1String(form))) {
                return std::nullopt;
            }
        }
    }
    if (text.startsWith(QLatin1String("@@"))) {
        return text.mid(1);
    }
    return text;
}

}  // namespace trovix::ini
