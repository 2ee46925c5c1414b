#include "settings/ini_engine.h"

#include "settings/file_save.h"
#include "settings/file_system_std.h"

#include <fstream>
#include <new>
#include <system_error>

namespace qor {

namespace {

FileSystem& standardFiles() {
    static StdFileSystem files;
    return files;
}

} // namespace

IniEngine::IniEngine() : IniEngine(defaultAnsiCodec()) {}

IniEngine::IniEngine(const AnsiCodec& codec) : codec_(&codec), files_(&standardFiles()) {}

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
    std::u16string path;
    try {
        path = file.u16string();
    } catch (...) {
        return false; // a name the system cannot spell names no file we could write
    }
    const std::string bytes = document.bytes();
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return saveWholeFile(*files_, path, data, true).route != FileSaveResult::Route::failed;
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
