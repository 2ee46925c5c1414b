#include "base/text_case.h"
#include "base/text_utf8.h"
#include "settings/ini_engine.h"

#include <algorithm>
#include <deque>
#include <unordered_map>

namespace qor {

namespace {

using Kind = IniLineKind;
using Ending = IniLineEnding;
constexpr std::size_t npos = static_cast<std::size_t>(-1);

template <typename Char> bool isBlank(Char c) {
    const auto u = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Char>>(c));
    return (u >= 0x09 && u <= 0x0D) || u == 0x1A || u == 0x20;
}

template <typename Char> std::basic_string_view<Char> trimLeft(std::basic_string_view<Char> s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

template <typename Char> std::basic_string_view<Char> trimRight(std::basic_string_view<Char> s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

template <typename Char> std::basic_string_view<Char> trim(std::basic_string_view<Char> s) {
    return trimRight(trimLeft(s));
}

// A caller's text ends at its first zero, as the C strings of the Win32 calls do.
std::u16string_view callerText(std::u16string_view s) {
    return s.substr(0, s.find(u'\0'));
}

std::u16string_view callerName(std::u16string_view s) {
    return trim(callerText(s));
}

bool hasLineBreak(std::u16string_view s) {
    return s.find_first_of(u"\r\n") != std::u16string_view::npos;
}

// The Win32 functions hand names and values on as zero-terminated strings: a zero character in a
// file ends the name or value.
template <typename Char> std::basic_string_view<Char> untilZero(std::basic_string_view<Char> s) {
    return s.substr(0, s.find(Char{0}));
}

// What a line means, as views of its decoded text (or of its bytes, for a line of ASCII bytes in
// an 8-bit file, which mean the same).
template <typename Char> struct Parts {
    using View = std::basic_string_view<Char>;
    Kind kind = Kind::blank;
    View name;                 // section or key name, trimmed
    std::optional<View> value; // an entry's value; nullopt for a key without '='
};

template <typename Char> Parts<Char> partsOf(std::basic_string_view<Char> decoded) {
    const auto text = trim(decoded);
    if (text.empty()) {
        return {Kind::blank, {}, {}};
    }
    if (text.front() == Char{';'}) {
        return {Kind::comment, {}, {}};
    }
    if (text.front() == Char{'['}) {
        const std::size_t close = text.rfind(Char{']'});
        if (close != text.npos && close > 0) {
            return {Kind::header, untilZero(trim(text.substr(1, close - 1))), {}};
        }
    }
    const std::size_t eq = text.find(Char{'='});
    if (eq == text.npos) {
        return {Kind::entry, untilZero(text), {}};
    }
    return {Kind::entry, untilZero(trimRight(text.substr(0, eq))),
            untilZero(trimLeft(text.substr(eq + 1)))};
}

Parts<char16_t> partsOf(const std::u16string& decoded) {
    return partsOf(std::u16string_view(decoded));
}

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char b) { return static_cast<unsigned char>(b) < 0x80; });
}

std::u16string decodeUnits(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        out[i] = static_cast<char16_t>(lo | (hi << 8));
    }
    return out;
}

std::string encodeUnits(std::u16string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        auto lo = static_cast<char>(c & 0xFF);
        auto hi = static_cast<char>(c >> 8);
        out.push_back(bigEndian ? hi : lo);
        out.push_back(bigEndian ? lo : hi);
    }
    return out;
}

std::u16string decode(std::string_view bytes, IniEncoding encoding, const AnsiCodec& codec) {
    switch (encoding) {
    case IniEncoding::Ansi:
        return codec.decode(bytes);
    case IniEncoding::Utf8:
        return utf8ToUtf16(bytes);
    case IniEncoding::Utf16Le:
        return decodeUnits(bytes, false);
    case IniEncoding::Utf16Be:
        return decodeUnits(bytes, true);
    }
    return {};
}

// decode() into a buffer reused from line to line; a line of ASCII bytes means the same in every
// 8-bit encoding the engine reads (no lead byte of a double-byte code page is below 0x80).
void decodeInto(std::u16string& out, std::string_view bytes, IniEncoding encoding,
                const AnsiCodec& codec) {
    if ((encoding == IniEncoding::Ansi || encoding == IniEncoding::Utf8) && isAscii(bytes)) {
        out.assign(bytes.begin(), bytes.end());
        return;
    }
    out = decode(bytes, encoding, codec);
}

std::string_view bom(IniEncoding encoding) {
    switch (encoding) {
    case IniEncoding::Utf8:
        return "\xEF\xBB\xBF";
    case IniEncoding::Utf16Le:
        return "\xFF\xFE";
    case IniEncoding::Utf16Be:
        return "\xFE\xFF";
    case IniEncoding::Ansi:
        break;
    }
    return {};
}

// A line break's bytes in the file's encoding (every 8-bit code page spells CR and LF as ASCII).
std::string_view endingBytes(Ending ending, IniEncoding encoding) {
    using namespace std::string_view_literals;
    static constexpr std::string_view narrow[] = {""sv, "\r"sv, "\n"sv, "\r\n"sv};
    static constexpr std::string_view little[] = {""sv, "\r\0"sv, "\n\0"sv, "\r\0\n\0"sv};
    static constexpr std::string_view big[] = {""sv, "\0\r"sv, "\0\n"sv, "\0\r\0\n"sv};
    const auto i = static_cast<std::size_t>(ending);
    switch (encoding) {
    case IniEncoding::Utf16Le:
        return little[i];
    case IniEncoding::Utf16Be:
        return big[i];
    case IniEncoding::Ansi:
    case IniEncoding::Utf8:
        break;
    }
    return narrow[i];
}

// Strips one pair of matching quotes around a text of at least two characters.
std::u16string_view unquote(std::u16string_view s) {
    if (s.size() >= 2 && (s.front() == u'"' || s.front() == u'\'') && s.back() == s.front()) {
        return s.substr(1, s.size() - 2);
    }
    return s;
}

// Hashing and equality of names as equalsIgnoreCase compares them.
struct UpperHash {
    std::size_t operator()(std::u16string_view name) const {
        std::size_t h = 14695981039346656037ull; // FNV-1a over the upper-cased units
        for (char16_t c : name) {
            h = (h ^ toUpperSimple(c)) * 1099511628211ull;
        }
        return h;
    }
};
struct UpperEqual {
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        return equalsIgnoreCase(a, b);
    }
};
template <typename T>
using NameMap = std::unordered_map<std::u16string_view, T, UpperHash, UpperEqual>;

} // namespace

// The first section of every name, and the first line of every key in each of them. Section 0
// is the lines before the first header. The maps view names the index keeps itself.
struct IniDocument::Index {
    struct Section {
        std::size_t header;
        std::size_t begin;
        std::size_t end;
        NameMap<std::size_t> keys;
    };
    std::vector<Section> sections;
    NameMap<std::size_t> byName;
    // One past the last header or key line: lines inserted from here on shift nothing indexed.
    std::size_t tail = 0;
    // The indexed section that runs to the end of the lines; npos when the last header is a
    // duplicate or "[]".
    std::size_t open = 0;
    std::u16string names;                  // the names found when the index was built
    std::deque<std::u16string> laterNames; // those of lines added since (a deque never moves them)

    std::u16string_view keep(std::u16string_view name) { return laterNames.emplace_back(name); }
};

IniDocument::Line::Line(std::size_t offset, bool added, std::size_t size, IniLineEnding ending,
                        IniLineKind kind)
    : bits_((static_cast<std::uint64_t>(offset) & kOffsetMask) |
            (static_cast<std::uint64_t>(added ? 1 : 0) << kAddedShift) |
            (static_cast<std::uint64_t>(ending) << kEndingShift) |
            (static_cast<std::uint64_t>(kind) << kKindShift)),
      size_(size) {}

void IniDocument::Line::setEnding(IniLineEnding ending) {
    bits_ = (bits_ & ~(std::uint64_t{3} << kEndingShift)) |
            (static_cast<std::uint64_t>(ending) << kEndingShift);
}

std::string_view IniDocument::text(const Line& line) const {
    const std::string& store = line.added() ? added_ : *source_;
    return std::string_view(store).substr(line.offset(), line.size());
}

std::u16string IniDocument::decoded(const Line& line) const {
    return decode(text(line), encoding_, *codec_);
}

// The name a header or entry line gives, as a view of `buffer`.
std::u16string_view IniDocument::nameOf(const Line& line, std::u16string& buffer) const {
    decodeInto(buffer, text(line), encoding_, *codec_);
    return partsOf(std::u16string_view(buffer)).name;
}

const IniDocument::Index& IniDocument::index() const {
    if (index_) {
        return *index_;
    }
    auto built = std::make_shared<Index>();
    std::u16string buffer;
    // First the room the names take, so that the string keeping them never moves under the
    // maps' views, and the entries of each header's lines, so that each map is sized once.
    std::size_t room = 0;
    std::vector<std::size_t> entries(1, 0); // before the first header, then after each
    for (const Line& line : lines_) {
        if (line.kind() == Kind::header || line.kind() == Kind::entry) {
            room += nameOf(line, buffer).size();
            if (line.kind() == Kind::header) {
                entries.push_back(0);
            } else {
                ++entries.back();
            }
        }
    }
    built->names.reserve(room);
    built->byName.reserve(entries.size() - 1);
    // A section's entries may all repeat one key: past this many, its map grows as it fills.
    constexpr std::size_t kKeysReservedMax = std::size_t{1} << 16;
    const auto reserveKeys = [&](std::size_t count) {
        built->sections.back().keys.reserve(std::min(count, kKeysReservedMax));
    };
    const auto store = [&](std::u16string_view name) {
        const std::size_t from = built->names.size();
        built->names.append(name);
        return std::u16string_view(built->names).substr(from, name.size());
    };
    built->sections.push_back({npos, 0, lines_.size(), {}});
    reserveKeys(entries[0]);
    std::size_t current = 0; // the indexed section being read, npos inside an unindexed one
    std::size_t headers = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Kind kind = lines_[i].kind();
        if (kind != Kind::header && kind != Kind::entry) {
            continue;
        }
        const std::u16string_view name = nameOf(lines_[i], buffer);
        built->tail = i + 1;
        if (kind == Kind::entry) {
            // The first match counts; a repeated key is never found, and its name not kept.
            if (current != npos && !built->sections[current].keys.contains(name)) {
                built->sections[current].keys.emplace(store(name), i);
            }
            continue;
        }
        ++headers;
        if (current != npos) {
            built->sections[current].end = i;
        }
        current = npos;
        // "[]" is never looked up by name, and a repeated name never found.
        if (!name.empty() && !built->byName.contains(name)) {
            current = built->sections.size();
            built->sections.push_back({i, i + 1, lines_.size(), {}});
            reserveKeys(entries[headers]);
            built->byName.emplace(store(name), current);
        }
    }
    built->open = current;
    index_ = std::move(built);
    return *index_;
}

void IniDocument::prepareReads() const {
    (void)index();
}

void IniDocument::insertedLine(std::size_t at, IniLineKind kind, std::u16string_view name) {
    if (!index_) {
        return;
    }
    if (index_.use_count() > 1) {
        dropIndex(); // another copy reads it: this one builds its own when it needs one
        return;
    }
    Index& ix = *index_;
    const auto addKey = [&](std::size_t section) {
        auto& keys = ix.sections[section].keys;
        const auto found = keys.find(name);
        if (found == keys.end()) {
            keys.emplace(ix.keep(name), at);
        } else if (found->second > at) {
            found->second = at; // the new line comes first
        }
    };
    if (at < ix.tail) {
        if (kind == Kind::header) {
            dropIndex(); // a section split in two
            return;
        }
        // Everything from `at` on moves down a line: one pass over the index, no decoding.
        std::size_t holder = npos;
        for (std::size_t n = 0; n < ix.sections.size(); ++n) {
            auto& s = ix.sections[n];
            if (s.end < at) {
                continue; // wholly before the line
            }
            if (s.header != npos && s.header >= at) {
                ++s.header;
                ++s.begin;
            }
            ++s.end;
            if (s.begin <= at && at < s.end) {
                holder = n;
            }
            for (auto& [key, line] : s.keys) {
                line += line >= at ? 1 : 0;
            }
        }
        ++ix.tail;
        if (kind == Kind::entry && holder != npos) {
            addKey(holder);
        }
        return;
    }
    if (kind == Kind::header) {
        if (at + 1 != lines_.size()) {
            dropIndex(); // lines behind it change sections
            return;
        }
        if (ix.open != npos) {
            ix.sections[ix.open].end = at;
        }
        ix.open = npos;
        if (!name.empty() && !ix.byName.contains(name)) {
            ix.open = ix.sections.size();
            ix.sections.push_back({at, at + 1, lines_.size(), {}});
            ix.byName.emplace(ix.keep(name), ix.open);
        }
        ix.tail = at + 1;
        return;
    }
    if (ix.open == npos) {
        return; // a line of a section no lookup reaches
    }
    ix.sections[ix.open].end = lines_.size();
    if (kind == Kind::entry) {
        addKey(ix.open);
        ix.tail = at + 1;
    }
}

std::vector<std::u16string> IniSectionNames::names() const {
    std::vector<std::u16string> out;
    std::size_t start = 0;
    while (start < buffer.size() && buffer[start] != u'\0') {
        std::size_t end = buffer.find(u'\0', start);
        if (end == std::u16string::npos) {
            end = buffer.size();
        }
        out.emplace_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

IniDocument::IniDocument(const AnsiCodec& codec) : codec_(&codec) {}

IniDocument IniDocument::parse(std::string_view bytes, const AnsiCodec& codec) {
    if (bytes.empty()) {
        return IniDocument(codec);
    }
    return parse(std::make_shared<const std::string>(bytes), codec);
}

IniDocument IniDocument::parse(std::shared_ptr<const std::string> source, const AnsiCodec& codec) {
    IniDocument doc(codec);
    if (!source || source->empty()) {
        return doc; // an empty file is written like a new one
    }
    const std::string_view bytes = *source;
    if (bytes.starts_with("\xFF\xFE")) {
        doc.encoding_ = IniEncoding::Utf16Le;
    } else if (bytes.starts_with("\xFE\xFF")) {
        doc.encoding_ = IniEncoding::Utf16Be;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        doc.encoding_ = IniEncoding::Utf8;
    } else {
        doc.encoding_ = IniEncoding::Ansi;
    }
    const std::size_t first = bom(doc.encoding_).size();
    const bool wide =
        doc.encoding_ == IniEncoding::Utf16Le || doc.encoding_ == IniEncoding::Utf16Be;
    const std::size_t unit = wide ? 2 : 1;
    // Half a character at the end is no text.
    const std::size_t limit = wide ? first + (bytes.size() - first) / 2 * 2 : bytes.size();
    const std::string_view text = bytes.substr(0, limit);
    const bool bigEndian = doc.encoding_ == IniEncoding::Utf16Be;
    auto unitAt = [&](std::size_t pos) -> char16_t {
        if (!wide) {
            return static_cast<unsigned char>(text[pos]);
        }
        auto a = static_cast<unsigned char>(text[pos]);
        auto b = static_cast<unsigned char>(text[pos + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    auto lineEnd = [&](std::size_t pos) {
        if (!wide) {
            return std::min(text.find_first_of("\r\n", pos), limit);
        }
        while (pos < limit && unitAt(pos) != u'\r' && unitAt(pos) != u'\n') {
            pos += unit;
        }
        return pos;
    };
    std::u16string buffer;
    std::size_t pos = first;
    while (pos < limit) {
        const std::size_t end = lineEnd(pos);
        std::size_t next = end;
        Ending ending = Ending::none;
        if (next < limit) {
            const bool cr = unitAt(next) == u'\r';
            ending = cr ? Ending::cr : Ending::lf;
            next += unit;
            if (cr && next < limit && unitAt(next) == u'\n') {
                ending = Ending::crLf;
                next += unit;
            }
        }
        const std::string_view line = text.substr(pos, end - pos);
        Kind kind = Kind::blank;
        if (!wide && isAscii(line)) {
            kind = partsOf(line).kind; // ASCII bytes mean the same in every 8-bit encoding
        } else if (!line.empty()) {
            decodeInto(buffer, line, doc.encoding_, codec);
            kind = partsOf(std::u16string_view(buffer)).kind;
        }
        if (kind == Kind::blank && !doc.lines_.empty() && doc.lines_.back().kind() == Kind::blank) {
            // Blank lines in a row share one record: a file of line breaks stays small.
            Line& run = doc.lines_.back();
            run.setSize(end - run.offset());
            run.setEnding(ending);
        } else {
            doc.lines_.emplace_back(pos, false, end - pos, ending, kind);
        }
        pos = next;
    }
    if (doc.lines_.capacity() - doc.lines_.size() > doc.lines_.size() / 4) {
        doc.lines_.shrink_to_fit();
    }
    doc.source_ = std::move(source);
    return doc;
}

std::size_t IniDocument::byteCount() const {
    std::size_t count = bom(encoding_).size();
    for (const Line& line : lines_) {
        count += line.size() + endingBytes(line.ending(), encoding_).size();
    }
    return count;
}

std::string IniDocument::bytes() const {
    std::string out;
    out.reserve(byteCount());
    out += bom(encoding_);
    for (const Line& line : lines_) {
        out += text(line);
        out += endingBytes(line.ending(), encoding_);
    }
    return out;
}

std::optional<IniDocument::Span> IniDocument::findSection(std::u16string_view name) const {
    const Index& found = index();
    std::size_t number = 0; // the lines before the first header always form the section ""
    if (!name.empty()) {
        const auto it = found.byName.find(name);
        if (it == found.byName.end()) {
            return std::nullopt;
        }
        number = it->second;
    }
    const Index::Section& s = found.sections[number];
    return Span{s.header, s.begin, s.end, number};
}

std::optional<std::size_t> IniDocument::findKey(const Span& span, std::u16string_view key) const {
    const auto& keys = index().sections[span.section].keys;
    const auto it = keys.find(key);
    if (it == keys.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::u16string> IniDocument::value(std::u16string_view section,
                                                 std::u16string_view key) const {
    auto span = findSection(callerName(section));
    if (!span) {
        return std::nullopt;
    }
    auto at = findKey(*span, callerName(key));
    if (!at) {
        return std::nullopt;
    }
    const std::u16string line = decoded(lines_[*at]);
    const auto stored = partsOf(line).value;
    if (!stored) {
        return std::nullopt;
    }
    return std::u16string(*stored);
}

std::u16string IniDocument::getString(std::u16string_view section, std::u16string_view key,
                                      std::u16string_view defaultValue,
                                      std::size_t bufferSize) const {
    if (bufferSize == 0) {
        return {};
    }
    std::u16string result;
    if (auto stored = value(section, key)) {
        result = unquote(*stored);
    } else {
        // Trailing blanks of the default are dropped, then it is treated like a stored value.
        defaultValue = callerText(defaultValue);
        while (!defaultValue.empty() && defaultValue.back() == u' ') {
            defaultValue.remove_suffix(1);
        }
        result = unquote(defaultValue);
    }
    if (result.size() > bufferSize - 1) {
        result.resize(bufferSize - 1);
    }
    return result;
}

IniSectionNames IniDocument::sectionNames(std::size_t bufferSize) const {
    IniSectionNames out;
    out.buffer.assign(bufferSize, u'\0');
    if (bufferSize < 2) {
        return out;
    }
    std::size_t room = bufferSize - 1; // one place is kept for the list's final zero
    std::size_t pos = 0;
    std::u16string buffer;
    for (const Line& line : lines_) {
        if (line.kind() != Kind::header) {
            continue;
        }
        const std::u16string_view name = nameOf(line, buffer);
        if (name.empty()) {
            continue;
        }
        std::size_t need = name.size() + 1;
        if (need >= room) {
            // Does not fit (or fits exactly): cut the name, end the list with two zeros.
            name.copy(out.buffer.data() + pos, room - 1);
            out.count = static_cast<std::uint32_t>(bufferSize - 2);
            return out;
        }
        name.copy(out.buffer.data() + pos, name.size());
        pos += need;
        room -= need;
    }
    out.count = static_cast<std::uint32_t>(pos);
    return out;
}

std::vector<std::u16string> IniDocument::sectionNameList() const {
    std::vector<std::u16string> out;
    std::u16string buffer;
    for (const Line& line : lines_) {
        if (line.kind() != Kind::header) {
            continue;
        }
        const std::u16string_view name = nameOf(line, buffer);
        if (!name.empty()) {
            out.emplace_back(name);
        }
    }
    return out;
}

std::string IniDocument::encodeLine(std::u16string_view text) const {
    switch (encoding_) {
    case IniEncoding::Ansi:
        return codec_->encode(text);
    case IniEncoding::Utf8:
        return utf16ToUtf8(text);
    case IniEncoding::Utf16Le:
        return encodeUnits(text, false);
    case IniEncoding::Utf16Be:
        return encodeUnits(text, true);
    }
    return {};
}

IniDocument::Line IniDocument::addedLine(std::u16string_view text, IniLineEnding ending) {
    const std::string encoded = encodeLine(text);
    const std::size_t offset = added_.size();
    added_ += encoded;
    // The kind the file will give it: the text as written, read back.
    const Kind kind = partsOf(decode(encoded, encoding_, *codec_)).kind;
    return Line(offset, true, encoded.size(), ending, kind);
}

void IniDocument::insertLine(std::size_t at, std::u16string_view text) {
    if (at > 0 && lines_[at - 1].ending() == Ending::none) {
        lines_[at - 1].setEnding(Ending::crLf);
    }
    const Line line = addedLine(text, Ending::crLf);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
    if (index_) {
        const std::u16string readBack = decoded(line);
        const auto parts = partsOf(readBack);
        insertedLine(at, parts.kind, parts.name);
    }
}

bool IniDocument::setString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view value) {
    section = callerName(section);
    key = callerName(key);
    value = trimLeft(callerText(value));
    auto span = findSection(section);
    if (!span) {
        insertLine(lines_.size(), u"[" + std::u16string(section) + u"]");
        insertLine(lines_.size(), std::u16string(key) + u"=" + std::u16string(value));
    } else if (auto at = findKey(*span, key)) {
        const std::u16string old = decoded(lines_[*at]);
        const auto oldParts = partsOf(old);
        if (oldParts.value && *oldParts.value == value) {
            return false;
        }
        const std::u16string name(oldParts.name);
        lines_[*at] = addedLine(name + u"=" + std::u16string(value), lines_[*at].ending());
        const std::u16string now = decoded(lines_[*at]);
        const auto nowParts = partsOf(now);
        if (nowParts.kind != Kind::entry || nowParts.name != name) {
            dropIndex(); // the line no longer names the key it did
        }
    } else {
        // After the section's last non-blank line, so blank lines before the next header stay
        // where they are.
        std::size_t after = span->begin;
        for (std::size_t i = span->end; i > span->begin; --i) {
            if (lines_[i - 1].kind() != Kind::blank) {
                after = i;
                break;
            }
        }
        insertLine(after, std::u16string(key) + u"=" + std::u16string(value));
    }
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)) {
        // A line break in a name or value splits the line; take the meaning the file now has.
        *this = parse(bytes(), *codec_);
    }
    return true;
}

bool IniDocument::removeKey(std::u16string_view section, std::u16string_view key) {
    auto span = findSection(callerName(section));
    if (!span) {
        return false;
    }
    auto at = findKey(*span, callerName(key));
    if (!at) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
    dropIndex();
    return true;
}

bool IniDocument::removeSection(std::u16string_view section) {
    auto span = findSection(callerName(section));
    if (!span) {
        return false;
    }
    std::size_t first = span->header == npos ? span->begin : span->header;
    if (first == span->end) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
    dropIndex();
    return true;
}

bool IniDocument::removeNamedSections() {
    std::u16string buffer;
    bool named = false; // inside a section with a name
    std::size_t kept = 0;
    for (const Line& line : lines_) {
        if (line.kind() == Kind::header) {
            named = !nameOf(line, buffer).empty();
        }
        if (!named) {
            lines_[kept++] = line;
        }
    }
    if (kept == lines_.size()) {
        return false;
    }
    lines_.resize(kept);
    dropIndex();
    return true;
}

} // namespace qor
