// Where user-facing messages go: message boxes in the program, a list in tests.
#pragma once
#include <string>
#include <string_view>

namespace qor {

// The caption of the program's warnings (and the title of its warning balloons).
inline constexpr std::u16string_view kWarningCaption = u"Warning";

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // One message box with a single OK button, owned by the main window.
    virtual void show(std::u16string_view text, std::u16string_view caption) = 0;
};

} // namespace qor
