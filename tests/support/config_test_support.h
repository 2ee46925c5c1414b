// In-memory file system and message recorder for the config.bin tests.
#pragma once
#include "base/message_sink.h"
#include "settings/file_system.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qor::testing {

struct Message {
    std::u16string text;
    std::u16string caption;
    bool operator==(const Message&) const = default;
};

class RecordingSink final : public MessageSink {
public:
    void show(std::u16string_view text, std::u16string_view caption) override {
        shown.push_back({std::u16string(text), std::u16string(caption)});
    }
    std::vector<Message> shown;
};

// Files as byte strings, with switches for the failures a real disk can produce.
class MemoryFileSystem final : public FileSystem {
public:
    std::map<std::u16string, std::string> files;
    std::set<std::u16string> unreadable;
    std::map<std::u16string, SystemError> notWritable;
    std::optional<std::size_t> readLimit; // bytes a reader delivers before reads come back empty
    std::optional<std::uint64_t> reportedSize;
    SystemError writeError = 0;  // the disk fills up half-way through the write
    SystemError createError = 0; // the folder refuses new files
    SystemError replaceError = 0;
    unsigned replaceRefusals = ~0u; // how many replaces replaceError refuses
    SystemError inPlaceError = 0;
    std::vector<std::u16string> removed;
    std::vector<std::string> calls; // "write", "replace", "pause 50", "in place" in order

    bool exists(std::u16string_view path) override { return files.contains(std::u16string(path)); }

    std::unique_ptr<ReadableFile> openForReading(std::u16string_view path) override {
        const std::u16string key(path);
        if (!files.contains(key) || unreadable.contains(key)) {
            return nullptr;
        }
        return std::make_unique<Reader>(files[key], readLimit, reportedSize);
    }

    SystemError checkWritable(std::u16string_view path) override {
        const auto it = notWritable.find(std::u16string(path));
        return it == notWritable.end() ? 0 : it->second;
    }

    WriteResult writeWhole(std::u16string_view path, std::span<const std::uint8_t> bytes) override {
        calls.emplace_back("write");
        if (createError != 0 && !files.contains(std::u16string(path))) {
            return {createError, false};
        }
        std::string& file = files[std::u16string(path)];
        file.assign(bytes.begin(), bytes.end());
        if (writeError != 0) {
            file.resize(file.size() / 2);
            return {writeError, true};
        }
        return {};
    }

    SystemError writeInPlace(std::u16string_view path, std::span<const std::uint8_t> bytes,
                             bool mayCreate) override {
        calls.emplace_back("in place");
        const std::u16string key(path);
        if (inPlaceError != 0) {
            return inPlaceError;
        }
        if (!files.contains(key) && (!mayCreate || createError != 0)) {
            return createError != 0 ? createError : 2;
        }
        files[key].assign(bytes.begin(), bytes.end());
        return 0;
    }

    SystemError replace(std::u16string_view source, std::u16string_view target) override {
        calls.emplace_back("replace");
        if (replaceError != 0 && replaceRefusals > 0) {
            --replaceRefusals;
            return replaceError;
        }
        const auto node = files.extract(std::u16string(source));
        if (node.empty()) {
            return 2;
        }
        files[std::u16string(target)] = node.mapped();
        return 0;
    }

    void remove(std::u16string_view path) override {
        removed.emplace_back(path);
        files.erase(std::u16string(path));
    }

    void pause(unsigned milliseconds) override {
        calls.push_back("pause " + std::to_string(milliseconds));
    }

    // Files directly in `folder` ("folder/name"); `unlistable` folders answer nothing.
    std::optional<std::vector<std::u16string>> listFiles(std::u16string_view folder) override {
        if (unlistable.contains(std::u16string(folder))) {
            return std::nullopt;
        }
        const std::u16string prefix = std::u16string(folder) + u"/";
        std::vector<std::u16string> names;
        for (const auto& [path, bytes] : files) {
            if (path.starts_with(prefix) && path.find(u'/', prefix.size()) == path.npos) {
                names.push_back(path.substr(prefix.size()));
            }
        }
        return names;
    }

    SystemError createFolder(std::u16string_view folder) override {
        folders.emplace(folder);
        return folderError;
    }

    std::set<std::u16string> unlistable;
    std::set<std::u16string> folders;
    SystemError folderError = 0;

private:
    class Reader final : public ReadableFile {
    public:
        Reader(std::string bytes, std::optional<std::size_t> limit,
               std::optional<std::uint64_t> size)
            : bytes_(std::move(bytes)), limit_(limit.value_or(bytes_.size())), size_(size) {}
        std::optional<std::uint64_t> size() override { return size_.value_or(bytes_.size()); }
        std::size_t read(std::span<std::uint8_t> into) override {
            const std::size_t end = std::min(limit_, bytes_.size());
            const std::size_t n = std::min(into.size(), end - std::min(end, position_));
            std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), n, into.begin());
            position_ += n;
            return n;
        }

    private:
        std::string bytes_;
        std::size_t limit_;
        std::optional<std::uint64_t> size_;
        std::size_t position_ = 0;
    };
};

} // namespace qor::testing
