// Feeds arbitrary bytes to the settings file reader and writer. Nothing may crash; a file read
// and written back is the same bytes; and after a key is set, a new one added or a section
// removed, the file read again holds exactly that change: the key reads back as set, every other
// key as before, and the lines nobody set keep their bytes.
//
// The input is the file. The changes are chosen by the input too: which key, and texts taken
// from its bytes, so that every value, key and section name a file can hold is also written. A
// corpus input may also name its first changes itself, in comment lines ";set section|key|value"
// or ";remove section" (UTF-8, in the order they are made), so that the change that matters for
// a file of an odd shape is checked on it; and what keys read as before any change, in lines
// ";expect section|key|value", or ";expect section|key" for a key the file does not hold.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "ini/ini_file.h"

using trovix::ini::IniDocument;

namespace {

using Keys = std::vector<std::pair<QString, QString>>;

// A small generator of choices, seeded by the input so that a run can be repeated.
class Choices {
  public:
    explicit Choices(const QByteArray& bytes) : bytes_(bytes) {
        for (const char c : bytes) {
            state_ = (state_ ^ static_cast<std::uint8_t>(c)) * 1099511628211u;  // FNV-1a
        }
    }
    std::uint64_t below(std::uint64_t n) {
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return n == 0 ? 0 : (state_ >> 33) % n;
    }
    // Text from a stretch of the input: as UTF-8, or as UTF-16 units, which may hold lone
    // halves of surrogate pairs.
    QString text() {
        const auto size = static_cast<std::uint64_t>(bytes_.size());
        const auto from = static_cast<qsizetype>(below(size + 1));
        const auto length = static_cast<qsizetype>(below(std::min<std::uint64_t>(size, 40) + 1));
        const QByteArray piece = bytes_.mid(from, length);
        if (below(2) == 0) {
            return QString::fromUtf8(piece);
        }
        QString units;
        for (qsizetype i = 0; i + 1 < piece.size(); i += 2) {
            units += QChar(static_cast<char16_t>(static_cast<std::uint8_t>(piece[i]) << 8 |
                                                 static_cast<std::uint8_t>(piece[i + 1])));
        }
        return units;
    }

  private:
    QByteArray bytes_;
    std::uint64_t state_ = 14695981039346656037u;
};

// Stops the run with the property that failed.
#define check(holds)                                                                        \
    do {                                                                                    \
        if (!(holds)) {                                                                     \
            std::fprintf(stderr, "fuzz_ini_file:%d: %s does not hold\n", __LINE__, #holds); \
            std::abort();                                                                   \
        }                                                                                   \
    } while (false)

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// Whether bytes[from, to) lie in one line: their line ends, if any, are escaped by a backslash,
// which continues the line.
bool withinOneLine(const QByteArray& bytes, qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i) {
        if (!isLineEnd(bytes[i])) {
            continue;
        }
        // A backslash escapes the line end after it, or a pair of them: CR LF or LF CR.
        const bool escaped =
            (i > 0 && bytes[i - 1] == '\\') ||
            (i > 1 && isLineEnd(bytes[i - 1]) && bytes[i - 1] != bytes[i] && bytes[i - 2] == '\\');
        if (!escaped) {
            return false;
        }
    }
    return true;
}

qsizetype commonPrefix(const QByteArray& a, const QByteArray& b) {
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix]) {
        ++prefix;
    }
    return prefix;
}

// Whether `after` is `before` with one stretch replaced, and that stretch of `before` lies in
// one line.
bool oneLineRewritten(const QByteArray& before, const QByteArray& after) {
    const qsizetype prefix = commonPrefix(before, after);
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    // The stretch may start inside a continuation: widen it to the line it is in.
    qsizetype from = prefix;
    while (from > 0 && !isLineEnd(before[from - 1])) {
        --from;
    }
    return withinOneLine(before, from, before.size() - suffix);
}

// Whether `after` is `before` with bytes inserted at one place. A last line without its line
// end may be rewritten too: a backslash that ended the file escapes the line end it gets.
bool oneInsertion(const QByteArray& before, const QByteArray& after) {
    const qsizetype prefix = commonPrefix(before, after);
    return after.endsWith(before.mid(prefix)) || withinOneLine(before, prefix, before.size());
}

// Whether `after` is `before` with some bytes taken out.
bool onlyRemoved(const QByteArray& before, const QByteArray& after) {
    qsizetype at = 0;
    for (const char c : after) {
        while (at < before.size() && before[at] != c) {
            ++at;
        }
        if (at++ == before.size()) {
            return false;
        }
    }
    return true;
}

// The value of every key of a document, with the key.
std::vector<std::pair<std::pair<QString, QString>, std::optional<QString>>> valuesOf(
    const IniDocument& document) {
    std::vector<std::pair<std::pair<QString, QString>, std::optional<QString>>> out;
    for (const auto& key : document.keys()) {
        out.emplace_back(key, document.value(key.first, key.second));
    }
    return out;
}

// After a change, the document read again from its bytes holds what `expected` says.
void checkReadAgain(const IniDocument& document, const Keys& expectedKeys) {
    const QByteArray bytes = document.bytes();
    const IniDocument again(bytes);
    check(again.bytes() == bytes);
    check(again.keys() == expectedKeys);
    check(valuesOf(again) == valuesOf(document));
}

// The changes the input names, in its order.
struct Named {
    bool remove;
    QString section, key, value;
};
std::vector<Named> namedChanges(const QByteArray& bytes) {
    std::vector<Named> named;
    for (QByteArray line : bytes.split('\n')) {
        line.replace('\r', "");
        const bool remove = line.startsWith(";remove ");
        const QStringList parts = QString::fromUtf8(line.mid(remove ? 8 : 5)).split(u'|');
        if (remove ||
            (line.startsWith(";set ") && !parts.value(1).isEmpty())) {  // a key has a name
            named.push_back({remove, parts[0], parts.value(1), parts.mid(2).join(u'|')});
        }
    }
    return named;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument document(bytes);
    check(document.bytes() == bytes);
    Choices choose(bytes);
    const std::vector<Named> named = namedChanges(bytes);
#ifdef TROVIX_REPLAY_CORPUS
    // The expectations hold for the corpus files as written; what a fuzzer makes of them by
    // changing bytes says nothing.
    for (QByteArray line : bytes.split('\n')) {
        if (line.replace('\r', "").startsWith(";expect ")) {
            const QStringList parts = QString::fromUtf8(line.mid(8)).split(u'|');
            check(document.value(parts[0], parts.value(1)) ==
                  (parts.size() > 2 ? std::optional(parts.mid(2).join(u'|')) : std::nullopt));
        }
    }
#endif

    for (std::size_t round = 0; round < std::max<std::size_t>(3, named.size()); ++round) {
        const QByteArray before = document.bytes();
        const Keys keys = document.keys();
        const auto values = valuesOf(document);
        Keys expectedKeys = keys;
        const Named* given = round < named.size() ? &named[round] : nullptr;
        switch (given != nullptr ? (given->remove ? 2 : 0) : choose.below(4)) {
            case 0:
            case 1: {  // a key, old or new, set to a text
                const bool old = given == nullptr && !keys.empty() && choose.below(2) == 0;
                std::pair<QString, QString> key;
                if (given != nullptr) {
                    key = {given->section, given->key};
                } else if (old) {
                    key = keys[choose.below(keys.size())];
                } else {
                    key.first = !keys.empty() && choose.below(2) == 0
                                    ? keys[choose.below(keys.size())].first
                                    : choose.text();
                    key.second = choose.text();
                    if (key.second.isEmpty()) {
                        key.second = QStringLiteral("k");  // a key has a name
                    }
                }
                const QString value = given != nullptr ? given->value : choose.text();
                const bool existed = document.value(key.first, key.second).has_value() ||
                                     std::find(keys.begin(), keys.end(), key) != keys.end();
                document.setValue(key.first, key.second, value);
                check(document.value(key.first, key.second) == value);
                if (!existed) {
                    expectedKeys.push_back(key);
                    std::sort(expectedKeys.begin(), expectedKeys.end());
                }
                checkReadAgain(document, expectedKeys);
                check(existed ? oneLineRewritten(before, document.bytes())
                              : oneInsertion(before, document.bytes()));
                for (const auto& [other, was] : values) {
                    check(other == key || document.value(other.first, other.second) == was);
                }
                break;
            }
            case 2: {  // a section removed
                const QString section = given != nullptr ? given->section
                                        : keys.empty()   ? choose.text()
                                                         : keys[choose.below(keys.size())].first;
                const bool held = document.hasKeys(section);
                check(document.removeSection(section) == held);
                check(!document.hasKeys(section));
                std::erase_if(expectedKeys,
                              [&section](const auto& key) { return key.first == section; });
                checkReadAgain(document, expectedKeys);
                check(onlyRemoved(before, document.bytes()));
                for (const auto& [other, was] : values) {
                    check(other.first == section ||
                          document.value(other.first, other.second) == was);
                }
                break;
            }
            default: {  // a key set to the text it has: nothing changes
                if (keys.empty()) {
                    break;
                }
                const auto& key = keys[choose.below(keys.size())];
                if (const std::optional<QString> value = document.value(key.first, key.second)) {
                    document.setValue(key.first, key.second, *value);
                    check(document.bytes() == before);
                }
                break;
            }
        }
    }
    return 0;
}
