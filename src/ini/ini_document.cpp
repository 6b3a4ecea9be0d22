#include "ini/ini_document.h"

#include <algorithm>

#include "ini/ini_bytes.h"
#include "ini/ini_name.h"
#include "ini/key_codec.h"
#include "ini/value_codec.h"

namespace trovix::ini {

IniDocument::IniDocument() : IniDocument(QByteArray()) {
}

IniDocument::IniDocument(const QByteArray& bytes) : source_(bytes) {
    parse();
}

void IniDocument::parse() {
    const QByteArrayView data(source_);
    const qsizetype n = data.size();
    const qsizetype firstEnd = data.indexOf('\n');
    const qsizetype firstReturn = data.indexOf('\r');
    if (firstReturn >= 0 && (firstEnd < 0 || firstReturn < firstEnd)) {
        lineEnd_ = firstReturn + 1 < n && data[firstReturn + 1] == '\n' ? "\r\n" : "\r";
    }
    sections_.push_back(Section{kNoLine, kNoLine});  // ""
    qint32 section = 0;
    for (qsizetype start = 0; start < n;) {
        const LineParts line = parseLine(data, start, textStart(data, start));
        if (line.kind == LineKind::Header) {
            const IniName name = IniName::ofSection(line.name);
            section = name.isEmpty() ? 0 : findOrAddSection(start, name);
            sections_[static_cast<std::size_t>(section)].lastHeader = start;
            if (firstHeader_ < 0) {
                firstHeader_ = start;
            }
        } else if (line.kind == LineKind::Entry) {
            setEntry(section, IniName::ofKey(line.name), start);
            sections_[static_cast<std::size_t>(section)].lastEntry = start;
        }
        last_ = start;
        start = line.next;
    }
    endSection_ = section;
}

quint64 IniDocument::entryHash(qint64 section, const IniName& key) {
    return mixBits(key.hash() + static_cast<quint64>(section) * 0x9e3779b97f4a7c15ULL);
}

qint32 IniDocument::findSection(const IniName& name) const {
    return static_cast<qint32>(sectionIds_.find(
        name.hash(), [this, &name](quint32 id) { return sectionName(id) == name; }));
}

qint32 IniDocument::findSection(const QString& name) const {
    return name.isEmpty() ? 0 : findSection(IniName::ofText(name));
}

// A new section's name is in `header`.
qint32 IniDocument::findOrAddSection(LineRef header, const IniName& name) {
    const auto id = static_cast<quint32>(sections_.size());
    const quint32 found = sectionIds_.findOrAdd(
        name.hash(), [this, &name](quint32 other) { return sectionName(other) == name; }, id,
        [this](quint32 other) { return sectionName(other).hash(); });
    if (found == id) {
        sections_.push_back(Section{header, kNoLine});
    }
    return static_cast<qint32>(found);
}

IniName IniDocument::sectionName(qint64 section) const {
    if (section == 0) {
        return IniName();
    }
    const LineRef header = sections_[static_cast<std::size_t>(section)].lastHeader.get();
    const qsizetype n = source_.size();
    if (header >= n) {
        return IniName::ofSection(
            writtenName(edits_[static_cast<std::size_t>(header - n)].raw, 0, true));
    }
    return IniName::ofSection(writtenName(source_, textStart(source_, header), true));
}

qint64 IniDocument::findEntry(qint64 section, const IniName& key) const {
    return entryIds_.find(entryHash(section, key), [this, section, &key](quint32 id) {
        const Entry& entry = entries_[id];
        return entry.section.get() == section && keyOf(entry.line.get()) == key;
    });
}

void IniDocument::setEntry(qint32 section, const IniName& key, LineRef line) {
    const auto id = static_cast<quint32>(entries_.size());
    const quint32 found = entryIds_.findOrAdd(
        entryHash(section, key),
        [this, section, &key](quint32 other) {
            const Entry& entry = entries_[other];
            return entry.section.get() == section && keyOf(entry.line.get()) == key;
        },
        id,
        [this](quint32 other) {
            const Entry& entry = entries_[other];
            return entryHash(entry.section.get(), keyOf(entry.line.get()));
        });
    if (found == id) {
        entries_.push_back(Entry{line, section});
    } else {
        entries_[found].line = line;
    }
}

IniName IniDocument::keyOf(LineRef line) const {
    // A line set here keeps the key it was read with.
    const qsizetype n = source_.size();
    if (line >= n) {
        return IniName::ofKey(
            writtenName(edits_[static_cast<std::size_t>(line - n)].raw, 0, false));
    }
    return IniName::ofKey(writtenName(source_, textStart(source_, line), false));
}

IniDocument::LineRef IniDocument::lastEntry(const QString& section, const QString& key) const {
    const qint32 id = findSection(section);
    if (id < 0) {
        return kNoLine;
    }
    const qint64 entry = findEntry(id, IniName::ofText(key));
    return entry >= 0 ? entries_[static_cast<std::size_t>(entry)].line.get() : kNoLine;
}

qsizetype IniDocument::lineEnd(LineRef line) const {
    return scanLine(source_, textStart(source_, line)).next;
}

IniDocument::LineView IniDocument::lineAt(LineRef line) const {
    const qsizetype n = source_.size();
    if (line >= n) {
        const Edit& added = edits_[static_cast<std::size_t>(line - n)];
        return LineView{added.raw, added.kind, added.valueBegin, added.valueEnd};
    }
    const LineParts parts = parseLine(source_, line, textStart(source_, line));
    LineView view{QByteArrayView(source_).sliced(line, parts.next - line), parts.kind,
                  parts.valueBegin, parts.valueEnd};
    const auto patch = patches_.find(line);
    if (patch != patches_.end() && patch->second.rewritten >= 0) {
        const Edit& rewritten = edits_[static_cast<std::size_t>(patch->second.rewritten)];
        view.raw = rewritten.raw;
        view.valueBegin = rewritten.valueBegin;
        view.valueEnd = rewritten.valueEnd;
    }
    return view;
}

bool IniDocument::underHeader(LineRef line) const {
    const qsizetype n = source_.size();
    if (line >= n) {
        return edits_[static_cast<std::size_t>(line - n)].underHeader;
    }
    return firstHeader_ >= 0 && line >= firstHeader_;
}

qint32 IniDocument::sectionOfLast() const {
    const qsizetype n = source_.size();
    return last_ >= n ? edits_[static_cast<std::size_t>(last_ - n)].section : endSection_;
}

void IniDocument::rewrite(LineRef line, const QByteArray& raw, qsizetype valueBegin,
                          qsizetype valueEnd) {
    const qsizetype n = source_.size();
    std::size_t index = 0;
    if (line >= n) {
        index = static_cast<std::size_t>(line - n);
    } else {
        Patch& patch = patches_[line];
        if (patch.rewritten < 0) {
            patch.rewritten = static_cast<qint32>(edits_.size());
            edits_.emplace_back();
        }
        index = static_cast<std::size_t>(patch.rewritten);
    }
    Edit& edit = edits_[index];
    edit.raw = raw;
    edit.valueBegin = valueBegin;
    edit.valueEnd = valueEnd;
}

// Adds a line after the line `after`, or at the end when that is kNoLine.
IniDocument::LineRef IniDocument::addLine(Edit line, LineRef after) {
    const qsizetype n = source_.size();
    const auto index = static_cast<qint32>(edits_.size());
    if (after < 0) {
        after = last_;
    }
    if (after < 0) {
        firstAdded_ = index;
    } else if (after >= n) {
        Edit& before = edits_[static_cast<std::size_t>(after - n)];
        line.next = before.next;
        before.next = index;
    } else {
        Patch& patch = patches_[after];
        line.next = patch.added;
        patch.added = index;
    }
    const LineRef added = n + index;
    if (after == last_) {
        last_ = added;
    }
    edits_.push_back(std::move(line));
    return added;
}

template <typename Visit>
void IniDocument::forEachLine(Visit&& visit) const {
    const QByteArrayView data(source_);
    const qsizetype n = data.size();
    const auto visitAdded = [&](qint32 index) {
        for (; index >= 0; index = edits_[static_cast<std::size_t>(index)].next) {
            const Edit& line = edits_[static_cast<std::size_t>(index)];
            visit(QByteArrayView(line.raw), line.kind, line.section, line.underHeader,
                  n + index == last_);
        }
    };
    visitAdded(firstAdded_);
    auto patch = patches_.begin();
    qint32 section = 0;
    bool underHeader = false;
    for (qsizetype start = 0; start < n;) {
        const LineParts line = parseLine(data, start, textStart(data, start));
        if (line.kind == LineKind::Header) {
            const IniName name = IniName::ofSection(line.name);
            section = name.isEmpty() ? 0 : findSection(name);
            underHeader = true;
        }
        QByteArrayView raw = data.sliced(start, line.next - start);
        qint32 added = -1;
        if (patch != patches_.end() && patch->first == start) {
            if (patch->second.rewritten >= 0) {
                raw = edits_[static_cast<std::size_t>(patch->second.rewritten)].raw;
            }
            added = patch->second.added;
            ++patch;
        }
        visit(raw, line.kind, section, underHeader, start == last_);
        visitAdded(added);
        start = line.next;
    }
}

std::vector<QByteArrayView> IniDocument::pieces() const {
    std::vector<QByteArrayView> out;
    const QByteArrayView data(source_);
    const auto addedAfter = [&](qint32 index) {
        for (; index >= 0; index = edits_[static_cast<std::size_t>(index)].next) {
            out.emplace_back(edits_[static_cast<std::size_t>(index)].raw);
        }
    };
    addedAfter(firstAdded_);
    qsizetype done = 0;  // source_ is in `out` up to here
    for (const auto& [line, patch] : patches_) {
        const qsizetype end = lineEnd(line);
        if (patch.rewritten >= 0) {
            out.push_back(data.sliced(done, line - done));
            out.emplace_back(edits_[static_cast<std::size_t>(patch.rewritten)].raw);
        } else {
            out.push_back(data.sliced(done, end - done));
        }
        done = end;
        addedAfter(patch.added);
    }
    out.push_back(data.sliced(done));
    return out;
}

QByteArray IniDocument::bytes() const {
    if (patches_.empty() && firstAdded_ < 0) {
        return source_;
    }
    const std::vector<QByteArrayView> parts = pieces();
    qsizetype size = 0;
    for (const QByteArrayView part : parts) {
        size += part.size();
    }
    QByteArray out(size, Qt::Uninitialized);
    char* to = out.data();
    for (const QByteArrayView part : parts) {
        to = std::copy(part.begin(), part.end(), to);
    }
    return out;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const LineRef line = lastEntry(section, key);
    if (line < 0) {
        return std::nullopt;
    }
    return valueOf(line);
}

bool IniDocument::hasKeys(const QString& section) const {
    const qint32 id = findSection(section);
    return id >= 0 && sections_[static_cast<std::size_t>(id)].lastEntry.get() >= 0;
}

std::vector<std::pair<QString, QString>> IniDocument::keys() const {
    std::vector<std::pair<QString, QString>> out;
    out.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& entry = entries_[i];
        out.emplace_back(sectionName(entry.section.get()).toString(),
                         keyOf(entry.line.get()).toString());
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::optional<QString> IniDocument::valueOf(LineRef line) const {
    const LineView view = lineAt(line);
    return decodeIniValue(view.raw.sliced(view.valueBegin, view.valueEnd - view.valueBegin));
}

void IniDocument::ensureLastLineEnds() {
    if (last_ < 0) {
        return;
    }
    // A line end after a lone backslash, or after a continued line end, continues the line: a
    // second one ends it where it ended before.
    const LineView line = lineAt(last_);
    QByteArray raw = line.raw.toByteArray();
    const bool firstLine = last_ == 0;
    if (endsALine(raw, firstLine)) {
        return;
    }
    while (!endsALine(raw, firstLine)) {
        raw += lineEnd_;
    }
    rewrite(last_, raw, line.valueBegin, line.valueEnd);
    if (line.kind != LineKind::Entry) {
        return;
    }
    // The backslash that ended the file escapes a line end now, and keeps the blanks before it
    // in the value: the value is written again as it was.
    const std::optional<QString> before = valueOf(last_);
    const LineExtent extent = scanLine(raw, 0);
    rewrite(last_, raw, line.valueBegin,
            extent.commentAt >= 0 ? extent.commentAt : extent.contentEnd);
    if (before && valueOf(last_) != before) {
        replaceValue(last_, *before);
    }
}

void IniDocument::replaceValue(LineRef index, const QString& value) {
    const LineView line = lineAt(index);
    const QByteArrayView raw = line.raw;
    // Blanks before a comment stay with the comment.
    qsizetype replaced = line.valueEnd;
    if (replaced < raw.size() && raw.at(replaced) == ';') {
        while (replaced > line.valueBegin && isBlank(raw.at(replaced - 1))) {
            --replaced;
        }
    }
    const qsizetype valueBegin = line.valueBegin;
    // A key with a lone double quote leaves one open: the new value goes without quotes, and
    // closes it where the old value did, so that a comment after it stays one.
    QByteArray encoded;
    if (quoteOpenAt(raw, valueBegin)) {
        encoded = encodeIniValueWithoutQuotes(value);
        if (!quoteOpenAt(raw, line.valueEnd)) {
            // Blanks after a quote would be part of the value.
            encoded += '"';
            replaced = line.valueEnd;
        }
    } else {
        encoded = encodeIniValue(value);
    }
    QByteArray rewritten = raw.first(valueBegin).toByteArray();
    rewritten += encoded;
    rewritten += raw.sliced(replaced);
    rewrite(index, rewritten, valueBegin, valueBegin + encoded.size());
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const LineRef found = lastEntry(section, key);
    if (found >= 0) {
        if (valueOf(found) != value) {
            replaceValue(found, value);
        }
        return;
    }

    const QByteArray encoded = encodeIniValue(value);
    qint32 id = findSection(section);
    Edit entry;
    entry.kind = LineKind::Entry;
    entry.raw = encodeIniKey(key) + '=';
    entry.valueBegin = entry.raw.size();
    entry.raw += encoded;
    entry.valueEnd = entry.raw.size();
    entry.raw += lineEnd_;

    // After the section's last key, or else its last header.
    LineRef after = kNoLine;
    if (id >= 0) {
        const Section& owner = sections_[static_cast<std::size_t>(id)];
        after = owner.lastEntry.get() >= 0 ? owner.lastEntry.get() : owner.lastHeader.get();
    }
    if (after >= 0) {
        if (after == last_) {
            ensureLastLineEnds();
        }
        entry.underHeader = underHeader(after);
    } else {
        ensureLastLineEnds();
        if (last_ >= 0 && !isBlankLine(lineAt(last_).raw, last_ == 0)) {
            Edit blank;
            blank.raw = lineEnd_;
            blank.underHeader = underHeader(last_);
            blank.section = sectionOfLast();
            addLine(std::move(blank), kNoLine);
        }
        Edit header;
        header.kind = LineKind::Header;
        header.underHeader = true;
        if (section.isEmpty()) {
            header.raw = "[General]";
        } else if (section == QLatin1String("General")) {
            header.raw = "[%General]";
        } else if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
            // [general] in any letter case is the section "": this spelling of the word keeps
            // its letters, its first one escaped.
            header.raw = "[%" + QByteArray::number(section.front().unicode(), 16).toUpper() +
                         section.sliced(1).toLatin1() + ']';
        } else {
            header.raw = '[' + encodeIniKey(section) + ']';
        }
        header.raw += lineEnd_;
        const LineRef headerLine = addLine(std::move(header), kNoLine);
        if (id < 0) {
            id = findOrAddSection(headerLine, IniName::ofText(section));
        }
        edits_[static_cast<std::size_t>(headerLine - source_.size())].section = id;
        sections_[static_cast<std::size_t>(id)].lastHeader = headerLine;
        entry.underHeader = true;
    }
    entry.section = id;
    const LineRef added = addLine(std::move(entry), after);
    setEntry(id, IniName::ofText(key), added);
    sections_[static_cast<std::size_t>(id)].lastEntry = added;
}

bool IniDocument::removeSection(const QString& section) {
    const qint32 id = findSection(section);
    if (id < 0) {
        return false;
    }
    const bool hadKeys = sections_[static_cast<std::size_t>(id)].lastEntry.get() >= 0;
    // Above the first header only the keys go: comments there speak for the whole file.
    QByteArray kept;
    kept.reserve(source_.size());
    bool took = false;
    bool tookLast = false;
    qsizetype keptEnd = 0;  // after the last line kept that is not blank
    forEachLine(
        [&](QByteArrayView raw, LineKind kind, qint32 lineSection, bool underHeader, bool isLast) {
            if (lineSection == id && (underHeader || kind == LineKind::Entry)) {
                took = true;
                tookLast = tookLast || isLast;
                return;
            }
            kept += raw;
            if (kind != LineKind::Other || !trimmed(raw).isEmpty()) {
                keptEnd = kept.size();
            }
        });
    if (!took) {
        return hadKeys;
    }
    // A section taken from the end leaves no blank lines behind it.
    if (tookLast) {
        kept.truncate(keptEnd);
    }
    // Read again what is left; new lines keep the line end of the file as it was first read.
    const QByteArray lineEnd = lineEnd_;
    *this = IniDocument(kept);
    lineEnd_ = lineEnd;
    return hadKeys;
}

}  // namespace trovix::ini
