#include "ui/win32/message_box_sink.h"

#include <string>

namespace qor {

void MessageBoxSink::show(std::u16string_view text, std::u16string_view caption) {
    const std::wstring body(reinterpret_cast<const wchar_t*>(text.data()), text.size());
    const std::wstring title(reinterpret_cast<const wchar_t*>(caption.data()), caption.size());
    MessageBoxW(owner_, body.c_str(), title.c_str(), MB_OK);
}

} // namespace qor
