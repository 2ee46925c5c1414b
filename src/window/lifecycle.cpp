#include "window/lifecycle.h"

namespace qor {

TrayDecision decideTrayNotification(unsigned mouseMessage, const TrayState& state) {
    TrayDecision d;
    switch (mouseMessage) {
    case kTrayLeftButtonUp:
    case kTrayLeftDoubleClick:
        if (!state.connected) {
            d.action = TrayAction::ReportNotDetected;
            return d;
        }
        d.action = TrayAction::Show;
        if (state.redrawOnNextShow) {
            d.redrawCurrentPage = true;
        } else if (!state.basicPageDrawn) {
            d.drawBasicPage = true;
        }
        return d;
    case kTrayRightButtonUp:
        d.action = TrayAction::ShowMenu;
        return d;
    default:
        return d;
    }
}

} // namespace qor
