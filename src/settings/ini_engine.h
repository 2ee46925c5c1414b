// The INI engine behind record.ini and str.ini. It answers like the Win32 private-profile
// functions the program uses (GetPrivateProfileStringW, GetPrivateProfileSectionNamesW,
// WritePrivateProfileStringW) and keeps every line it does not change byte for byte.
//
// Rules, in short:
// - Encoding by the first bytes: FF FE UTF-16LE, FE FF UTF-16BE, EF BB BF UTF-8, anything else
//   (an empty file too) 8-bit text through the AnsiCodec. A file is written back in the encoding
//   it was read in; a new or empty file is written as UTF-16LE with a BOM, so that Chinese text
//   survives on any system.
// - Lines end at any run of CR and LF. Whitespace (09-0D, 20, 1A) is trimmed at both ends of a
//   line; a line starting with ';' is a comment. "[name]" starts a section: the name is the text
//   between '[' and the last ']', trimmed. Other lines split at the first '=' into a key (right-
//   trimmed) and a value (left-trimmed); a line without '=' is a key without value. Lines before
//   the first header belong to a section named "".
// - Section and key names match case-insensitively (text_case.h); the caller's names are
//   trimmed; duplicates are kept and the first match counts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_ansi_codec.h"
#include "settings/file_system.h"

namespace qor {

// The buffer size (in UTF-16 units, terminating zero included) the program passes to every read.
inline constexpr std::size_t kIniBufferSize = 1024;

// A larger file reads as unreadable: the program's own files stay far below it, and a file of
// any size would otherwise be taken into memory whole.
inline constexpr std::size_t kIniFileSizeMax = std::size_t{16} << 20;

enum class IniEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

// What GetPrivateProfileSectionNamesW leaves in a zero-filled buffer and returns.
struct IniSectionNames {
    // Exactly the buffer size asked for: names separated by zeros, the list ended by two zeros,
    // zero-filled behind. When the names do not fit, the last name is cut and the buffer ends
    // with two zeros.
    std::u16string buffer;
    // The function's return value: the characters written without the final zero, or
    // buffer size - 2 when the names did not fit (an exact fit counts as not fitting).
    std::uint32_t count = 0;

    // The complete names in the buffer, in order (for callers that need no 255-character window).
    std::vector<std::u16string> names() const;
};

// One physical line's kind, and how it ends.
enum class IniLineKind : std::uint8_t { blank, comment, header, entry };
enum class IniLineEnding : std::uint8_t { none, cr, lf, crLf };

// One INI file in memory: the bytes it was read from, one small record per line (a run of blank
// lines shares one), and an index of its sections and keys for lookups. Names and values are
// decoded from a line's bytes when asked for, so that a parsed file takes about its own size plus
// 16 bytes a line and no allocation per line. Copies share the bytes read and, until one of them
// changes, the index. It keeps a pointer to its codec, which must outlive it (the program's codecs
// are static).
class IniDocument {
public:
    // A new file: no lines, written as UTF-16LE with a BOM.
    explicit IniDocument(const AnsiCodec& codec = defaultAnsiCodec());
    // Parses file contents of any size and shape; never fails.
    static IniDocument parse(std::string_view bytes, const AnsiCodec& codec = defaultAnsiCodec());
    // The same, sharing the caller's bytes instead of copying them.
    static IniDocument parse(std::shared_ptr<const std::string> bytes,
                             const AnsiCodec& codec = defaultAnsiCodec());

    IniEncoding encoding() const { return encoding_; }
    // The file's bytes: the BOM, untouched lines as they were read, changed lines newly formatted.
    std::string bytes() const;
    // bytes().size(), without building them.
    std::size_t byteCount() const;

    // The stored value of the first matching key, without quote stripping; nullopt when the
    // section or key is missing or the key has no '='.
    std::optional<std::u16string> value(std::u16string_view section, std::u16string_view key) const;
    // GetPrivateProfileStringW: the value (one pair of matching quotes around it stripped) or,
    // when the key is missing or has no '=', the default with its trailing blanks removed;
    // cut to bufferSize - 1 characters. The returned size is the function's return value.
    std::u16string getString(std::u16string_view section, std::u16string_view key,
                             std::u16string_view defaultValue = {},
                             std::size_t bufferSize = kIniBufferSize) const;
    // GetPrivateProfileSectionNamesW (sections named "" are not listed).
    IniSectionNames sectionNames(std::size_t bufferSize = kIniBufferSize) const;
    // The names sectionNames lists, every one of them, whatever their length.
    std::vector<std::u16string> sectionNameList() const;

    // WritePrivateProfileStringW with a value: the value's leading whitespace is stripped; an
    // existing key is replaced in place (keeping the file's spelling of its name), a new key goes
    // after the last entry of the first matching section, a new section is appended at the end.
    // Returns true when the document changed (writing the same value again changes nothing).
    bool setString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    // WritePrivateProfileStringW with value NULL: removes the first matching key's line.
    bool removeKey(std::u16string_view section, std::u16string_view key);
    // WritePrivateProfileStringW with key NULL: removes the first matching section with all its
    // lines. Returns true when the document changed.
    bool removeSection(std::u16string_view section);
    // removeSection for every name sectionNameList gives, in one pass: the lines before the first
    // header and the sections named "" stay. Returns true when the document changed.
    bool removeNamedSections();

    // Builds the index now, so that a document shared between threads is only read afterwards.
    void prepareReads() const;

private:
    // A line, or a run of blank lines: where its text lies (in the bytes read or in those added
    // since), how long it is, how it ends and what kind of line it is. A run's text holds the
    // line breaks between its lines; its ending is its last line's.
    class Line {
    public:
        Line() = default;
        Line(std::size_t offset, bool added, std::size_t size, IniLineEnding ending,
             IniLineKind kind);
        std::size_t offset() const { return static_cast<std::size_t>(bits_ & kOffsetMask); }
        bool added() const { return ((bits_ >> kAddedShift) & 1) != 0; }
        IniLineEnding ending() const {
            return static_cast<IniLineEnding>((bits_ >> kEndingShift) & 3);
        }
        IniLineKind kind() const { return static_cast<IniLineKind>((bits_ >> kKindShift) & 3); }
        std::size_t size() const { return static_cast<std::size_t>(size_); }
        void setEnding(IniLineEnding ending);
        void setSize(std::size_t size) { size_ = size; }

    private:
        static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << 56) - 1;
        static constexpr int kAddedShift = 56;
        static constexpr int kEndingShift = 57;
        static constexpr int kKindShift = 59;
        std::uint64_t bits_ = 0;
        std::uint64_t size_ = 0;
    };
    struct Index;
    struct Span {
        std::size_t header;  // index of the header line, or npos for the section before the first
        std::size_t begin;   // first line after the header
        std::size_t end;     // the next header or the end of the lines
        std::size_t section; // its number in the index
    };
    std::optional<Span> findSection(std::u16string_view trimmedName) const;
    std::optional<std::size_t> findKey(const Span& span, std::u16string_view trimmedKey) const;
    const Index& index() const;
    // The index after a line was inserted at `at`: kept up to date where that is cheap (lines
    // added at the end, the usual way a file grows), dropped otherwise.
    void insertedLine(std::size_t at, IniLineKind kind, std::u16string_view name);
    void dropIndex() const { index_.reset(); }
    std::string_view text(const Line& line) const;
    std::u16string decoded(const Line& line) const;
    std::u16string_view nameOf(const Line& line, std::u16string& buffer) const;
    std::string encodeLine(std::u16string_view text) const;
    // Stores `text` (encoded) as the text of a new or changed line.
    Line addedLine(std::u16string_view text, IniLineEnding ending);
    void insertLine(std::size_t at, std::u16string_view text);

    const AnsiCodec* codec_;
    IniEncoding encoding_ = IniEncoding::Utf16Le;
    std::shared_ptr<const std::string> source_; // the bytes parsed, BOM included
    std::string added_;                         // texts of lines written since
    std::vector<Line> lines_;
    // Built at the first lookup; shared by copies, changed only while not shared.
    mutable std::shared_ptr<Index> index_;
};

// The file side: every call reads the file afresh, like the Win32 functions, and a write
// replaces the file only when its contents changed. The last document parsed from each of a few
// files is kept and used again while the file's bytes are the same, so that reading a file
// parses it once per change. Callers take an IniEngine by reference; the Windows shell builds it
// with the ANSI code page's codec (win32/ansi_codec_win32.h). Copies share what is kept; calls
// may come from several threads.
class IniEngine {
public:
    // Saves through the standard library's files (file_system_std.h) unless given others.
    IniEngine();
    explicit IniEngine(const AnsiCodec& codec);
    IniEngine(const AnsiCodec& codec, FileSystem& files);

    // A missing or unreadable file reads as the default.
    std::u16string getString(const std::filesystem::path& file, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue = {},
                             std::size_t bufferSize = kIniBufferSize) const;
    // A missing file gives count 0 and an all-zero buffer.
    IniSectionNames getSectionNames(const std::filesystem::path& file,
                                    std::size_t bufferSize = kIniBufferSize) const;
    // Creates the file when it is missing. False when the file cannot be read or written.
    bool writeString(const std::filesystem::path& file, std::u16string_view section,
                     std::u16string_view key, std::u16string_view value) const;
    bool deleteKey(const std::filesystem::path& file, std::u16string_view section,
                   std::u16string_view key) const;
    // A missing file or section changes nothing and succeeds.
    bool deleteSection(const std::filesystem::path& file, std::u16string_view section) const;

    // The document as read from the file (an empty new document when the file is missing).
    std::optional<IniDocument> load(const std::filesystem::path& file) const;
    // Writes the document's bytes through a temporary file beside it, then replaces the file;
    // overwrites it in place where that is refused (file_save.h).
    bool save(const std::filesystem::path& file, const IniDocument& document) const;

    // How many times a file's bytes were parsed (files read again unchanged are not).
    std::size_t parses() const;

private:
    struct Kept;
    // The document of the file as it is now: null when the file cannot be read.
    std::shared_ptr<const IniDocument> read(const std::filesystem::path& file) const;

    const AnsiCodec* codec_;
    FileSystem* files_;
    std::shared_ptr<Kept> kept_;
};

} // namespace qor
