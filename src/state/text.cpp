#include "state/text.h"

#include "platform/native.h"

namespace trovix {

QString trimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString withoutFolder(const QString& fileName) {
    qsizetype at = fileName.size();
    while (at > 0 && !platform::isFolderSeparator(fileName[at - 1])) {
        --at;
    }
    return fileName.mid(at);
}

}  // namespace trovix
