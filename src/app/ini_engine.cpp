#include "app/ini_engine.h"

#include <fstream>
#include <new>
#include <system_error>

namespace qor {

std::optional<IniDocument> IniEngine::load(const std::filesystem::path& file) const {
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return IniDocument(*codec_);
    }
    if (ec || std::filesystem::is_directory(status)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    try {
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        if (size < 0 || static_cast<std::uint64_t>(size) > kIniFileSizeMax) {
            return std::nullopt;
        }
        in.seekg(0, std::ios::beg);
        std::string bytes(static_cast<std::size_t>(size), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (in.bad()) {
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return IniDocument::parse(bytes, *codec_);
    } catch (const std::bad_alloc&) {
        return std::nullopt; // a file the machine cannot hold is unreadable, not the end
    }
}

bool IniEngine::save(const std::filesystem::path& file, const IniDocument& document) const {
    // A crash or a full disk in the middle of the write must not leave half a file behind.
    std::filesystem::path temp = file;
    temp += ".qor-tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        std::string bytes = document.bytes();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return true;
}

std::u16string IniEngine::getString(const std::filesystem::path& file, std::u16string_view section,
                                    std::u16string_view key, std::u16string_view defaultValue,
                                    std::size_t bufferSize) const {
    auto doc = load(file);
    return (doc ? *doc : IniDocument(*codec_)).getString(section, key, defaultValue, bufferSize);
}

IniSectionNames IniEngine::getSectionNames(const std::filesystem::path& file,
                                           std::size_t bufferSize) const {
    auto doc = load(file);
    return (doc ? *doc : IniDocument(*codec_)).sectionNames(bufferSize);
}

bool IniEngine::writeString(const std::filesystem::path& file, std::u16string_view section,
                            std::u16string_view key, std::u16string_view value) const {
    auto doc = load(file);
    if (!doc) {
        return false;
    }
    return !doc->setString(section, key, value) || save(file, *doc);
}

bool IniEngine::deleteKey(const std::filesystem::path& file, std::u16string_view section,
                          std::u16string_view key) const {
    auto doc = load(file);
    if (!doc) {
        return false;
    }
    return !doc->removeKey(section, key) || save(file, *doc);
}

bool IniEngine::deleteSection(const std::filesystem::path& file,
                              std::u16string_view section) const {
    auto doc = load(file);
    if (!doc) {
        return false;
    }
    return !doc->removeSection(section) || save(file, *doc);
}

} // namespace qor
