#include "ui/win32/control_reconciler.h"

#include <algorithm>

namespace qor {
namespace {

// Fills a list with the control's items. When the list already shows the leading ones (a
// recording appends a line or two per key), only the rest is added: refilling a long list at
// every key would hold the recording up.
void fillList(HWND list, const SceneControl& c, const std::vector<std::u16string>* shown) {
    std::size_t keep = 0;
    if (shown != nullptr && shown->size() <= c.items.size() &&
        std::equal(shown->begin(), shown->end(), c.items.begin())) {
        keep = shown->size();
    } else {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
    }
    // A long fill is drawn once at the end, not once per item.
    const bool many = c.items.size() - keep > 8;
    if (many) {
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    }
    for (std::size_t i = keep; i < c.items.size(); ++i) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(c.items[i])));
    }
    if (many) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

void selectItem(HWND list, const SceneControl& c) {
    // A selection set by message is not reported back as a user's choice.
    const WPARAM index = c.selected ? static_cast<WPARAM>(*c.selected) : static_cast<WPARAM>(-1);
    SendMessageW(list, LB_SETCURSEL, index, 0);
}

} // namespace

std::u16string windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    GetWindowTextW(hwnd, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::optional<std::size_t> listItemAt(HWND list, LPARAM clientPoint) {
    const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, clientPoint);
    if (HIWORD(hit) != 0) {
        return std::nullopt; // outside every item
    }
    return static_cast<std::size_t>(LOWORD(hit));
}

HWND ControlReconciler::create(const SceneControl& c) const {
    DWORD style = WS_CHILD | WS_VISIBLE;
    const wchar_t* cls = L"STATIC";
    if (c.kind == ControlKind::List) {
        cls = L"LISTBOX";
        style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (c.framed ? WS_BORDER : 0);
    } else if (c.kind == ControlKind::Edit) {
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        style |= c.align == TextAlign::Centre  ? ES_CENTER
                 : c.align == TextAlign::Right ? ES_RIGHT
                                               : ES_LEFT;
        style |= (c.digitsOnly ? ES_NUMBER : 0) | (c.readOnly ? ES_READONLY : 0);
        style |= c.enabled ? 0 : WS_DISABLED;
    } else {
        style |= c.sunken ? SS_SUNKEN : 0;
        style |= SS_CENTERIMAGE | SS_NOPREFIX;
        style |= c.align == TextAlign::Centre  ? SS_CENTER
                 : c.align == TextAlign::Right ? SS_RIGHT
                                               : SS_LEFT;
    }
    HWND hwnd = CreateWindowExW(
        0, cls, c.kind == ControlKind::List ? L"" : wide(c.text), style, c.rect.left, c.rect.top,
        c.rect.width(), c.rect.height(), parent_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent_, GWLP_HINSTANCE)), nullptr);
    if (hwnd != nullptr && font_ != nullptr) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    return hwnd;
}

void ControlReconciler::update(Live& live, const SceneControl& c) {
    // An edit may hold typed text the model has refused: it is always looked at.
    if (live.shown == c && c.kind != ControlKind::Edit) {
        return;
    }
    if (live.shown.rect != c.rect) {
        SetWindowPos(live.hwnd, nullptr, c.rect.left, c.rect.top, c.rect.width(), c.rect.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (c.kind == ControlKind::List) {
        if (live.shown.items != c.items) {
            fillList(live.hwnd, c, &live.shown.items);
        }
        selectItem(live.hwnd, c);
    } else {
        // An edit holds what the user typed, which the model may not show yet: compare with the
        // window's own text.
        if (c.kind == ControlKind::Edit ? windowText(live.hwnd) != c.text
                                        : live.shown.text != c.text) {
            SetWindowTextW(live.hwnd, wide(c.text));
        }
        if (live.shown.enabled != c.enabled) {
            EnableWindow(live.hwnd, c.enabled ? TRUE : FALSE);
        }
        if (live.shown.fill != c.fill) {
            InvalidateRect(live.hwnd, nullptr, TRUE); // repaints with the new colour's brush
        }
    }
    live.shown = c;
}

void ControlReconciler::reconcile(const std::vector<SceneControl>& controls) {
    updating_ = true;
    std::map<int, ControlKind> wanted;
    for (const auto& c : controls) {
        wanted.emplace(c.id, c.kind);
    }
    // What the scene no longer has goes, and so does a control whose kind changed.
    for (auto it = live_.begin(); it != live_.end();) {
        const auto found = wanted.find(it->first);
        if (found == wanted.end() || found->second != it->second.shown.kind) {
            DestroyWindow(it->second.hwnd);
            it = live_.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& c : controls) {
        auto it = live_.find(c.id);
        if (it == live_.end()) {
            HWND hwnd = create(c);
            if (hwnd == nullptr) {
                continue;
            }
            Live live{hwnd, c};
            if (c.kind == ControlKind::List) {
                fillList(hwnd, c, nullptr);
                selectItem(hwnd, c);
            }
            live_.emplace(c.id, std::move(live));
        } else {
            update(it->second, c);
        }
    }
    updating_ = false;
}

void ControlReconciler::destroyAll() {
    updating_ = true;
    for (auto& [id, live] : live_) {
        DestroyWindow(live.hwnd);
    }
    live_.clear();
    updating_ = false;
}

HWND ControlReconciler::window(int id) const {
    const auto it = live_.find(id);
    return it == live_.end() ? nullptr : it->second.hwnd;
}

const SceneControl* ControlReconciler::control(int id) const {
    const auto it = live_.find(id);
    return it == live_.end() ? nullptr : &it->second.shown;
}

} // namespace qor
