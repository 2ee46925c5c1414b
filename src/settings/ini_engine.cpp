#include "settings/ini_engine.h"

#include "settings/file_save.h"
#include "settings/file_system_std.h"

#include <algorithm>
#include <fstream>
#include <mutex>
#include <new>
#include <system_error>

namespace qor {

namespace {

FileSystem& standardFiles() {
    static StdFileSystem files;
    return files;
}

// Files whose last document is kept: the program reads two, record.ini and str.ini.
constexpr std::size_t kKeptFiles = 4;

// The file's bytes; nullopt when it cannot be read or is larger than the engine reads.
std::optional<std::string> readWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
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
    return bytes;
}

} // namespace

// The last document parsed from each of a few files, with the bytes it was parsed from.
struct IniEngine::Kept {
    struct File {
        std::filesystem::path path;
        std::shared_ptr<const std::string> bytes;
        std::shared_ptr<const IniDocument> document;
        std::uint64_t lastUse = 0;
    };
    std::mutex mutex;
    std::vector<File> files;
    std::uint64_t uses = 0;
    std::size_t parses = 0;
};

IniEngine::IniEngine() : IniEngine(defaultAnsiCodec()) {}

IniEngine::IniEngine(const AnsiCodec& codec) : IniEngine(codec, standardFiles()) {}

IniEngine::IniEngine(const AnsiCodec& codec, FileSystem& files)
    : codec_(&codec), files_(&files), kept_(std::make_shared<Kept>()) {}

std::shared_ptr<const IniDocument> IniEngine::read(const std::filesystem::path& file) const {
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::make_shared<const IniDocument>(*codec_);
    }
    if (ec || std::filesystem::is_directory(status)) {
        return nullptr;
    }
    try {
        auto bytes = readWhole(file);
        if (!bytes) {
            return nullptr;
        }
        {
            std::lock_guard lock(kept_->mutex);
            for (Kept::File& kept : kept_->files) {
                if (kept.path == file && *kept.bytes == *bytes) {
                    kept.lastUse = ++kept_->uses;
                    return kept.document;
                }
            }
        }
        auto shared = std::make_shared<const std::string>(std::move(*bytes));
        auto document = std::make_shared<IniDocument>(IniDocument::parse(shared, *codec_));
        document->prepareReads(); // from now on only read, by any thread
        std::lock_guard lock(kept_->mutex);
        ++kept_->parses;
        auto& files = kept_->files;
        std::erase_if(files, [&](const Kept::File& kept) { return kept.path == file; });
        if (files.size() == kKeptFiles) {
            files.erase(
                std::min_element(files.begin(), files.end(), [](const auto& a, const auto& b) {
                    return a.lastUse < b.lastUse;
                }));
        }
        files.push_back({file, shared, document, ++kept_->uses});
        return document;
    } catch (const std::bad_alloc&) {
        return nullptr; // a file the machine cannot hold is unreadable, not the end
    }
}

std::size_t IniEngine::parses() const {
    std::lock_guard lock(kept_->mutex);
    return kept_->parses;
}

std::optional<IniDocument> IniEngine::load(const std::filesystem::path& file) const {
    const auto document = read(file);
    if (!document) {
        return std::nullopt;
    }
    return *document;
}

bool IniEngine::save(const std::filesystem::path& file, const IniDocument& document) const {
    std::u16string path;
    try {
        path = file.u16string();
    } catch (...) {
        return false; // a name the system cannot spell names no file we could write
    }
    {
        // The file is about to change: what was kept of it is of no further use.
        std::lock_guard lock(kept_->mutex);
        std::erase_if(kept_->files, [&](const Kept::File& kept) { return kept.path == file; });
    }
    const std::string bytes = document.bytes();
    const auto data = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    return saveWholeFile(*files_, path, data, true).route != FileSaveResult::Route::failed;
}

std::u16string IniEngine::getString(const std::filesystem::path& file, std::u16string_view section,
                                    std::u16string_view key, std::u16string_view defaultValue,
                                    std::size_t bufferSize) const {
    const auto document = read(file);
    if (!document) {
        return IniDocument(*codec_).getString(section, key, defaultValue, bufferSize);
    }
    return document->getString(section, key, defaultValue, bufferSize);
}

IniSectionNames IniEngine::getSectionNames(const std::filesystem::path& file,
                                           std::size_t bufferSize) const {
    const auto document = read(file);
    if (!document) {
        return IniDocument(*codec_).sectionNames(bufferSize);
    }
    return document->sectionNames(bufferSize);
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
