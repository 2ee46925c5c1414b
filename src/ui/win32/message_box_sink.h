// Messages of the core as message boxes owned by the main window, with a single OK button.
#pragma once
#include "base/message_sink.h"

#include <windows.h>

namespace qor {

class MessageBoxSink final : public MessageSink {
public:
    void setOwner(HWND owner) { owner_ = owner; }
    void show(std::u16string_view text, std::u16string_view caption) override;

private:
    HWND owner_ = nullptr;
};

} // namespace qor
