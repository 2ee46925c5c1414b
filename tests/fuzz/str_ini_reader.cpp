// Arbitrary bytes as str.ini: the key-row texts, the colour and the skin name are read in every
// language section without a crash, every text fits the program's 1024-character buffer, and
// key-row texts written into the document read back.
#include "settings/ini_engine.h"
#include "ui/str_ini.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

bool fits(std::u16string_view text) {
    return text.size() < qor::kIniBufferSize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    qor::IniDocument document = qor::IniDocument::parse(input);
    for (std::u16string_view language : {u"Setting-EN", u"Setting-CHS", u"Setting-CHT"}) {
        const qor::StrIniValues values = qor::strIniValues(document, language);
        for (const qor::KeySet set : {qor::KeySet::A, qor::KeySet::B}) {
            for (const std::u16string& row : values.rows.rows(set)) {
                check(fits(row));
            }
        }
        check(fits(values.red) && fits(values.green) && fits(values.blue));
        check(fits(values.skinName));
        (void)qor::textColour(values);
        (void)qor::skinFolder(u"C:/Qor/", values.skinName);
    }

    // Key-row texts as the program writes them, taken from the input's first bytes.
    qor::KeyRowTexts texts;
    for (std::size_t row = 0; row < qor::kKeyRows; ++row) {
        for (std::size_t i = 0; i < 3 && row * 3 + i < input.size(); ++i) {
            texts.setA[row].push_back(static_cast<char16_t>(u'a' + (input[row * 3 + i] & 0x0F)));
        }
        texts.setB[row] = texts.setA[row] + u"-B";
    }
    for (const qor::KeySet set : {qor::KeySet::A, qor::KeySet::B}) {
        for (std::size_t row = 1; row <= qor::kKeyRows; ++row) {
            document.setString(u"Setting-EN", qor::keyRowKey(set, row), texts.rows(set)[row - 1]);
        }
    }
    const qor::StrIniValues reread =
        qor::strIniValues(qor::IniDocument::parse(document.bytes()), u"Setting-EN");
    check(reread.rows == texts);
    return 0;
}
