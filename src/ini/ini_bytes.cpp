#include "ini/ini_bytes.h"

#include <QStringDecoder>

namespace trovix::ini {

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);  // decoding is what finds the errors
    return !decoder.hasError();
}

}  // namespace trovix::ini
