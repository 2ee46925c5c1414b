// Arbitrary bytes as an INI file: parsing, reads, the section list and a write must never crash,
// an unchanged document must give back the file's bytes, a write must read back, and a document
// changed by writes must read as its bytes do when parsed anew.
#include "base/text_case.h"
#include "settings/ini_engine.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using qor::IniDocument;

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

bool isBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

// A name or value that means the same in the file as in memory: no line break, no zero, no
// blank at either end.
bool plain(std::u16string_view s) {
    if (!s.empty() && (isBlank(s.front()) || isBlank(s.back()))) {
        return false;
    }
    return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string_view::npos;
}

std::u16string textFrom(std::string_view bytes, std::size_t at, std::size_t count) {
    std::u16string out;
    for (char b : bytes.substr(std::min(at, bytes.size()), count)) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(b)));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::parse(input);

    // Untouched, the document is the file (a half UTF-16 character at the end aside, and an
    // empty file, which becomes a new one).
    std::string bytes = doc.bytes();
    bool wide =
        doc.encoding() == qor::IniEncoding::Utf16Le || doc.encoding() == qor::IniEncoding::Utf16Be;
    if (!input.empty()) {
        check(bytes == input.substr(0, wide ? input.size() - input.size() % 2 : input.size()));
    }

    // The section list at several buffer sizes, and every listed section read.
    for (std::size_t listSize :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{17}, qor::kIniBufferSize}) {
        qor::IniSectionNames names = doc.sectionNames(listSize);
        check(names.buffer.size() == listSize);
        check(listSize < 2 || names.count <= listSize - 2);
        check(listSize < 2 || (names.buffer[listSize - 1] == 0 && names.buffer[listSize - 2] == 0));
    }
    std::vector<std::u16string> sections = doc.sectionNames().names();
    sections.push_back(u"");
    for (const std::u16string& section : sections) {
        for (std::u16string_view key : {u"Item0", u"ItemCount", u"k", u""}) {
            for (std::size_t bufferSize : {std::size_t{0}, std::size_t{3}, qor::kIniBufferSize}) {
                std::u16string value = doc.getString(section, key, u"dflt", bufferSize);
                check(value.size() + 1 <= (bufferSize == 0 ? 1 : bufferSize));
            }
        }
    }

    // A write with names and a value taken from the input's first bytes.
    std::u16string section = textFrom(input, 0, 6);
    std::u16string key = textFrom(input, 6, 4);
    std::u16string value = textFrom(input, 10, 12);
    IniDocument written = doc;
    written.setString(section, key, value);
    bool keyReadsBack = plain(section) && plain(key) && plain(value) && !key.empty() &&
                        key.find(u'=') == std::u16string::npos && key.front() != u';' &&
                        key.front() != u'[' && !(section.empty() && key.empty());
    if (keyReadsBack && doc.encoding() != qor::IniEncoding::Ansi) {
        std::u16string expected =
            written.getString(section, key, u"", value.size() + 2); // as the file now says
        IniDocument reread = IniDocument::parse(written.bytes());
        check(reread.getString(section, key, u"", value.size() + 2) == expected);
        check(reread.value(section, key) == value);
    }
    // Whatever the writes did to the document's index, it reads as its bytes read afresh.
    const auto readsLikeItsBytes = [&](const IniDocument& edited) {
        const IniDocument fresh = IniDocument::parse(edited.bytes());
        check(edited.sectionNames().buffer == fresh.sectionNames().buffer);
        std::vector<std::u16string> names = fresh.sectionNameList();
        names.insert(names.end(), {u"", section});
        for (const std::u16string& s : names) {
            for (std::u16string_view k : {std::u16string_view(u"Item0"), std::u16string_view(u"k"),
                                          std::u16string_view(key)}) {
                check(edited.getString(s, k, u"d") == fresh.getString(s, k, u"d"));
            }
        }
    };
    readsLikeItsBytes(written);
    written.setString(section, u"k", value);
    readsLikeItsBytes(written);
    written.removeSection(section);
    written.removeKey(u"", key);
    readsLikeItsBytes(written);
    written.removeNamedSections();
    readsLikeItsBytes(written);
    return 0;
}
