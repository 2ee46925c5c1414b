#include "base/text_case.h"
#include "base/text_utf8.h"
#include "settings/ini_engine.h"

#include <algorithm>
#include <unordered_map>

namespace qor {

namespace {

using Line = IniDocument::Line;
using Kind = Line::Kind;
constexpr std::size_t npos = static_cast<std::size_t>(-1);

bool isBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::u16string_view trimLeft(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::u16string_view trimRight(std::u16string_view s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::u16string_view trim(std::u16string_view s) {
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
std::u16string untilZero(std::u16string_view s) {
    return std::u16string(s.substr(0, s.find(u'\0')));
}

// Gives the line its meaning from its decoded text.
void classify(Line& line, std::u16string_view decoded) {
    std::u16string_view text = trim(decoded);
    line.name.clear();
    line.value.reset();
    if (text.empty()) {
        line.kind = Kind::Blank;
        return;
    }
    if (text.front() == u';') {
        line.kind = Kind::Comment;
        return;
    }
    if (text.front() == u'[') {
        std::size_t close = text.rfind(u']');
        if (close != std::u16string_view::npos && close > 0) {
            line.kind = Kind::Header;
            line.name = untilZero(trim(text.substr(1, close - 1)));
            return;
        }
    }
    line.kind = Kind::Entry;
    std::size_t eq = text.find(u'=');
    if (eq == std::u16string_view::npos) {
        line.name = untilZero(text);
        return;
    }
    line.name = untilZero(trimRight(text.substr(0, eq)));
    line.value = untilZero(trimLeft(text.substr(eq + 1)));
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
    if (encoding == IniEncoding::Ansi || encoding == IniEncoding::Utf8) {
        if (std::all_of(bytes.begin(), bytes.end(),
                        [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
            out.assign(bytes.begin(), bytes.end());
            return;
        }
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

// Every named section's first header and, for each, its first line of every key. The names are
// views of the lines' own names.
struct IniDocument::Index {
    struct Section {
        Span span;
        NameMap<std::size_t> keys;
    };
    NameMap<Section> sections;
    // The section each key map belongs to, by header line.
    std::unordered_map<std::size_t, const Section*> byHeader;
};

const IniDocument::Index& IniDocument::index() const {
    if (index_.index) {
        return *index_.index;
    }
    auto built = std::make_shared<Index>();
    Index::Section* current = nullptr; // null while inside a duplicate or before the first
    // Entries up to the next header, so that a section's map is sized once.
    const auto entriesFrom = [this](std::size_t i) {
        std::size_t n = 0;
        for (; i < lines_.size() && lines_[i].kind != Kind::Header; ++i) {
            n += lines_[i].kind == Kind::Entry ? 1 : 0;
        }
        return n;
    };
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Header) {
            if (current != nullptr) {
                current->span.end = i;
            }
            current = nullptr;
            if (line.name.empty()) {
                continue; // "[]" is never looked up by name
            }
            auto [it, fresh] = built->sections.try_emplace(line.name);
            if (fresh) {
                current = &it->second;
                current->span = Span{i, i + 1, lines_.size(), built.get()};
                current->keys.reserve(entriesFrom(i + 1));
                built->byHeader.emplace(i, current);
            }
        } else if (line.kind == Kind::Entry && current != nullptr) {
            current->keys.try_emplace(line.name, i); // the first match counts
        }
    }
    if (current != nullptr) {
        current->span.end = lines_.size();
    }
    index_.index = std::move(built);
    return *index_.index;
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
    IniDocument doc(codec);
    if (bytes.empty()) {
        return doc; // an empty file is written like a new one
    }
    if (bytes.starts_with("\xFF\xFE")) {
        doc.encoding_ = IniEncoding::Utf16Le;
    } else if (bytes.starts_with("\xFE\xFF")) {
        doc.encoding_ = IniEncoding::Utf16Be;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        doc.encoding_ = IniEncoding::Utf8;
    } else {
        doc.encoding_ = IniEncoding::Ansi;
    }
    bytes.remove_prefix(bom(doc.encoding_).size());
    const bool wide =
        doc.encoding_ == IniEncoding::Utf16Le || doc.encoding_ == IniEncoding::Utf16Be;
    const std::size_t unit = wide ? 2 : 1;
    if (wide) {
        bytes.remove_suffix(bytes.size() % 2); // half a character is no text
    }
    const bool bigEndian = doc.encoding_ == IniEncoding::Utf16Be;
    auto unitAt = [&](std::size_t pos) -> char16_t {
        if (!wide) {
            return static_cast<unsigned char>(bytes[pos]);
        }
        auto a = static_cast<unsigned char>(bytes[pos]);
        auto b = static_cast<unsigned char>(bytes[pos + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    // Most files end their lines with LF or CR LF: one place per LF avoids regrowing the lines.
    doc.lines_.reserve(
        static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) / unit + 1);
    std::u16string decoded;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && unitAt(end) != u'\r' && unitAt(end) != u'\n') {
            end += unit;
        }
        std::size_t next = end;
        if (next < bytes.size()) {
            bool cr = unitAt(next) == u'\r';
            next += unit;
            if (cr && next < bytes.size() && unitAt(next) == u'\n') {
                next += unit;
            }
        }
        Line line;
        line.text = std::string(bytes.substr(pos, end - pos));
        line.ending = std::string(bytes.substr(end, next - end));
        decodeInto(decoded, line.text, doc.encoding_, codec);
        classify(line, decoded);
        doc.lines_.push_back(std::move(line));
        pos = next;
    }
    return doc;
}

std::string IniDocument::bytes() const {
    std::string out(bom(encoding_));
    for (const Line& line : lines_) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

std::optional<IniDocument::Span> IniDocument::findSection(std::u16string_view name,
                                                          Lookup lookup) const {
    if (lookup == Lookup::indexed && !name.empty()) {
        const Index& found = index();
        const auto it = found.sections.find(name);
        if (it == found.sections.end()) {
            return std::nullopt;
        }
        return it->second.span;
    }
    std::size_t header = npos;
    std::size_t i = 0;
    if (!name.empty()) {
        for (; i < lines_.size(); ++i) {
            if (lines_[i].kind == Kind::Header && equalsIgnoreCase(lines_[i].name, name)) {
                break;
            }
        }
        if (i == lines_.size()) {
            return std::nullopt;
        }
        header = i++;
    }
    // The lines before the first header always form the section "".
    std::size_t end = i;
    while (end < lines_.size() && lines_[end].kind != Kind::Header) {
        ++end;
    }
    return Span{header, i, end};
}

std::optional<std::size_t> IniDocument::findKey(const Span& span, std::u16string_view key) const {
    if (span.index != nullptr) {
        const Index::Section& section = *span.index->byHeader.at(span.header);
        const auto it = section.keys.find(key);
        if (it == section.keys.end()) {
            return std::nullopt;
        }
        return it->second;
    }
    for (std::size_t i = span.begin; i < span.end; ++i) {
        if (lines_[i].kind == Kind::Entry && equalsIgnoreCase(lines_[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string> IniDocument::value(std::u16string_view section,
                                                 std::u16string_view key) const {
    auto span = findSection(callerName(section), Lookup::indexed);
    if (!span) {
        return std::nullopt;
    }
    auto at = findKey(*span, callerName(key));
    if (!at) {
        return std::nullopt;
    }
    return lines_[*at].value;
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
    for (const Line& line : lines_) {
        if (line.kind != Kind::Header || line.name.empty()) {
            continue;
        }
        std::size_t need = line.name.size() + 1;
        if (need >= room) {
            // Does not fit (or fits exactly): cut the name, end the list with two zeros.
            line.name.copy(out.buffer.data() + pos, room - 1);
            out.count = static_cast<std::uint32_t>(bufferSize - 2);
            return out;
        }
        line.name.copy(out.buffer.data() + pos, line.name.size());
        pos += need;
        room -= need;
    }
    out.count = static_cast<std::uint32_t>(pos);
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

void IniDocument::insertLine(std::size_t at, std::u16string_view text) {
    if (at > 0 && lines_[at - 1].ending.empty()) {
        lines_[at - 1].ending = encodeLine(u"\r\n");
    }
    changed();
    Line line;
    line.text = encodeLine(text);
    line.ending = encodeLine(u"\r\n");
    classify(line, decode(line.text, encoding_, *codec_));
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool IniDocument::setString(std::u16string_view section, std::u16string_view key,
                            std::u16string_view value) {
    section = callerName(section);
    key = callerName(key);
    value = trimLeft(callerText(value));
    auto span = findSection(section, Lookup::scan);
    if (!span) {
        insertLine(lines_.size(), u"[" + std::u16string(section) + u"]");
        insertLine(lines_.size(), std::u16string(key) + u"=" + std::u16string(value));
    } else if (auto at = findKey(*span, key)) {
        Line& line = lines_[*at];
        if (line.value && *line.value == value) {
            return false;
        }
        line.text = encodeLine(line.name + u"=" + std::u16string(value));
        classify(line, decode(line.text, encoding_, *codec_));
        changed();
    } else {
        // After the section's last non-blank line, so blank lines before the next header stay
        // where they are.
        std::size_t after = span->begin;
        for (std::size_t i = span->begin; i < span->end; ++i) {
            if (lines_[i].kind != Kind::Blank) {
                after = i + 1;
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
    auto span = findSection(callerName(section), Lookup::scan);
    if (!span) {
        return false;
    }
    auto at = findKey(*span, callerName(key));
    if (!at) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*at));
    changed();
    return true;
}

bool IniDocument::removeSection(std::u16string_view section) {
    auto span = findSection(callerName(section), Lookup::scan);
    if (!span) {
        return false;
    }
    std::size_t first = span->header == npos ? span->begin : span->header;
    if (first == span->end) {
        return false;
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
    changed();
    return true;
}

} // namespace qor
