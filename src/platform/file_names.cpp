#include "platform/file_names.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace trovix::platform {
namespace {

constexpr char16_t kKeptByteBase = 0xDC00;  // a kept byte b >= 0x80 is U+DC00 + b
constexpr char16_t kReplacement = 0xFFFD;

bool isKeptByte(QChar c) {
    return c.unicode() >= kKeptByteBase + 0x80 && c.unicode() <= kKeptByteBase + 0xFF;
}

// Whether anything, even a link to nothing, stands at the name as Qt writes it.
bool somethingIsThere(const QString& name) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::lstat(QFile::encodeName(name).constData(), &st) == 0;
#else
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
#endif
}

}  // namespace

QString fileNameFromBytes(QByteArrayView bytes) {
    const QString decoded = QFile::decodeName(bytes.toByteArray());
    if (QFile::encodeName(decoded) == bytes) {
        return decoded;
    }
    // Character by character: a sequence that is valid UTF-8 is taken, any other byte kept.
    QString text;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0x80    ? 1
                                 : lead >= 0xF0 ? 4
                                 : lead >= 0xE0 ? 3
                                 : lead >= 0xC0 ? 2
                                                : 0;
        if (length > 0 && i + length <= bytes.size()) {
            const QByteArrayView piece = bytes.sliced(i, length);
            const QString character = QString::fromUtf8(piece);
            if (character.toUtf8() == piece) {
                text += character;
                i += length;
                continue;
            }
        }
        text += QChar(static_cast<char16_t>(kKeptByteBase + lead));
        ++i;
    }
    return text;
}

QString unusableNameReason(const QString& name) {
    if (QFile::decodeName(QFile::encodeName(name)) != name) {
        return QCoreApplication::translate(
            "FileNames",
            "Part of the name is not valid UTF-8, so no file can be opened or "
            "saved by the name as it is shown.");
    }
    if (name.contains(QChar(kReplacement)) && !somethingIsThere(name)) {
        return QCoreApplication::translate(
            "FileNames",
            "Its \"\uFFFD\" stands for bytes of the name that are not valid UTF-8. No file "
            "of the name as it is shown exists, and saving would make one under another name.");
    }
    return {};
}

QString displayFileName(const QString& name) {
    QString shown;
    for (const QChar c : name) {
        if (isKeptByte(c)) {
            shown +=
                QStringLiteral("\\x") + QString::number(c.unicode() - kKeptByteBase, 16).toUpper();
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace trovix::platform
