// Arbitrary bytes of any size as config.bin: the loader must never crash or read out of bounds,
// and a file of the wrong size must leave the record untouched.
#include "settings/config_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class NoMessages final : public qor::MessageSink {
public:
    void show(std::u16string_view, std::u16string_view) override {}
};

// The fuzzer's bytes as the only file; the first input byte also picks a short read.
class BytesFileSystem final : public qor::FileSystem {
public:
    BytesFileSystem(const std::uint8_t* data, std::size_t size, std::size_t readLimit)
        : data_(data), size_(size), readLimit_(readLimit) {}
    bool exists(std::u16string_view) override { return true; }
    std::unique_ptr<qor::ReadableFile> openForReading(std::u16string_view) override {
        return std::make_unique<Reader>(data_, size_, readLimit_);
    }
    qor::SystemError checkWritable(std::u16string_view) override { return 0; }
    qor::WriteResult writeWhole(std::u16string_view, std::span<const std::uint8_t>) override {
        return {};
    }
    qor::SystemError writeInPlace(std::u16string_view, std::span<const std::uint8_t>,
                                  bool) override {
        return 0;
    }
    qor::SystemError replace(std::u16string_view, std::u16string_view) override { return 0; }
    void remove(std::u16string_view) override {}
    std::optional<std::vector<std::u16string>> listFiles(std::u16string_view) override {
        return std::nullopt;
    }
    qor::SystemError createFolder(std::u16string_view) override { return 0; }

private:
    class Reader final : public qor::ReadableFile {
    public:
        Reader(const std::uint8_t* data, std::size_t size, std::size_t limit)
            : data_(data), size_(size), limit_(std::min(limit, size)) {}
        std::optional<std::uint64_t> size() override { return size_; }
        std::size_t read(std::span<std::uint8_t> into) override {
            // Hand out the bytes in uneven pieces to exercise the reassembly of the record.
            const std::size_t left = limit_ - position_;
            const std::size_t n = std::min({into.size(), left, piece_});
            if (n > 0) {
                std::memcpy(into.data(), data_ + position_, n);
            }
            position_ += n;
            piece_ = piece_ * 3 + 1;
            return n;
        }

    private:
        const std::uint8_t* data_;
        std::size_t size_;
        std::size_t limit_;
        std::size_t position_ = 0;
        std::size_t piece_ = 1;
    };

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t readLimit_;
};

} // namespace

// Input byte 0 steers: bit 0 cuts the reads short (at 8 x byte 1), bit 1 stretches the rest of
// the input to exactly 2022 bytes so that the reading path is reached from the first run.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t control = data[0];
    std::vector<std::uint8_t> file(data + 1, data + size);
    if ((control & 2) != 0) {
        std::vector<std::uint8_t> stretched(qor::kConfigFileSize, 0);
        for (std::size_t i = 0; !file.empty() && i < stretched.size(); ++i) {
            stretched[i] = file[i % file.size()];
        }
        file = std::move(stretched);
    }
    const std::size_t readLimit =
        (control & 1) != 0 && size > 1 ? std::size_t{data[1]} * 8u : file.size();
    BytesFileSystem files(file.data(), file.size(), readLimit);
    NoMessages messages;
    qor::SettingsState state;
    std::memset(qor::recordBytes(state.working).data(), 0xA5, qor::kSettingsRecordSize);
    const qor::LoadResult result = qor::loadConfig(files, messages, u"config.bin", state);
    const auto bytes = qor::recordBytes(state.working);
    if (file.size() != qor::kConfigFileSize) {
        if (result.outcome != qor::LoadResult::Outcome::WrongSize || state.firstRunFlag != 0 ||
            std::any_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b != 0xA5; })) {
            std::abort();
        }
        return 0;
    }
    const std::size_t got = result.recordBytesRead;
    if (got > qor::kSettingsRecordSize || std::memcmp(bytes.data(), file.data() + 1, got) != 0 ||
        std::any_of(bytes.begin() + static_cast<std::ptrdiff_t>(got), bytes.end(),
                    [](std::uint8_t b) { return b != 0xA5; })) {
        std::abort();
    }
    // What was read goes back out behind flag 1.
    qor::saveConfig(files, messages, u"config.bin", state.working);
    return 0;
}
