#include "ui/win32/mem_dc.h"

namespace qor {

CMemDC::CMemDC(HDC target, const RECT& rect) : target_(target), rect_(rect) {
    if (target_ == nullptr) {
        return;
    }
    printing_ = GetDeviceCaps(target_, TECHNOLOGY) == DT_RASPRINTER;
    if (IsRectEmpty(&rect_)) {
        GetClipBox(target_, &rect_);
    }
    if (printing_) {
        return;
    }
    memoryDc_ = CreateCompatibleDC(target_);
    if (memoryDc_ == nullptr) {
        return;
    }
    bitmap_ = CreateCompatibleBitmap(target_, rect_.right - rect_.left, rect_.bottom - rect_.top);
    if (bitmap_ == nullptr) {
        DeleteDC(memoryDc_);
        memoryDc_ = nullptr;
        return;
    }
    oldBitmap_ = SelectObject(memoryDc_, bitmap_);
    SetWindowOrgEx(memoryDc_, rect_.left, rect_.top, nullptr);
}

CMemDC::~CMemDC() {
    if (memoryDc_ == nullptr) {
        return;
    }
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
           memoryDc_, rect_.left, rect_.top, SRCCOPY);
    SelectObject(memoryDc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(memoryDc_);
}

} // namespace qor
