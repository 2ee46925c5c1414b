// The program's own identifiers, in one place: the resource script's templates, icon and menu,
// the commands, the private window messages, the device event codes the program makes itself,
// and the child control ids of the main window and of every skinned dialog. The window, the
// device adapters that post to it, the recorder and the dialogs share them.
#pragma once

namespace qor {

// --- resources (resources/qor.rc) --------------------------------------------------------------
inline constexpr int kMainDialogTemplate = 700;
// The skinned dialogs, in the order of DialogKind.
inline constexpr int kSingleKeyDialogTemplate = 701;
inline constexpr int kWindowsFunctionDialogTemplate = 702;
inline constexpr int kMultimediaDialogTemplate = 703;
inline constexpr int kFireKeyDialogTemplate = 704;
inline constexpr int kMacroKeyDialogTemplate = 705;
inline constexpr int kComboKeyDialogTemplate = 706;
inline constexpr int kDelayTimeDialogTemplate = 707;
inline constexpr int kSkinsDialogTemplate = 708;
inline constexpr int kManageProfilesDialogTemplate = 709;
inline constexpr int kProfileNameDialogTemplate = 710;
inline constexpr int kMainIcon = 710;
inline constexpr int kMacroListMenu = 180; // the sequence list's context menu

// --- commands ----------------------------------------------------------------------------------
inline constexpr unsigned kExitCommand = 1028;             // tray menu "Exit"
inline constexpr unsigned kStartWithWindowsCommand = 1029; // tray menu "Start with Windows"
inline constexpr unsigned kSaveProfileAsCommand = 1030;  // tray menu "Save Current Settings As…"
inline constexpr unsigned kManageProfilesCommand = 1031; // tray menu "Manage Profiles…"
inline constexpr unsigned kOpenProfilesFolderCommand = 1032; // tray menu "Open Profiles Folder"
// The tray menu's profiles, one command each from here on, in the order listed.
inline constexpr unsigned kFirstProfileCommand = 0x7000;
inline constexpr unsigned kProfileCommandCount = 0x1000;
inline constexpr int kDeleteMacroLineCommand = 32772; // macro list context menu
// The dialog manager's Enter and Escape (and a dialog's system menu Close).
inline constexpr int kOkCommand = 1;     // IDOK
inline constexpr int kCancelCommand = 2; // IDCANCEL

// --- private window messages -------------------------------------------------------------------
inline constexpr unsigned kTrayNotifyMessage = 0x0400 + 1;  // tray icon notifications
inline constexpr unsigned kDeviceEventMessage = 0x0400 + 2; // device events, wParam = code
inline constexpr unsigned kRecorderMessage = 0x0400 + 3;    // recorded key events
// A list's choice, acted on after the list's own notification has returned, since acting on it
// may destroy the list. wParam: the list's id and, in its high word, 1 for a double click;
// lParam: the item (-1 for none).
inline constexpr unsigned kListChoiceMessage = 0x8000 + 1;
// A context menu runs its own message loop: it opens after the message hook that saw the right
// button has returned. wParam: the control; lParam: the screen point.
inline constexpr unsigned kContextMenuMessage = 0x8000 + 2;
// What a capture dialog's keyboard hook sends its window when it has named a key.
inline constexpr unsigned kSingleKeyCapturedMessage = 0x0B04;
inline constexpr unsigned kComboKeyCapturedMessage = 0x0B05;

// Device event codes that come from the program itself rather than from the mouse.
inline constexpr unsigned kMouseDetectedEvent = 14;
inline constexpr unsigned kMouseNotDetectedEvent = 15;

// Mouse messages the tray icon reports in lParam.
inline constexpr unsigned kTrayLeftButtonUp = 0x0202;
inline constexpr unsigned kTrayLeftDoubleClick = 0x0203;
inline constexpr unsigned kTrayRightButtonUp = 0x0205;

// --- the main window's child controls ----------------------------------------------------------
inline constexpr int kDpiSideListId = 37;
inline constexpr int kFunctionListIdBase = 40; // key row k's list is 40 + k (k from 1)
inline constexpr int kModeListId = 63;
inline constexpr int kParameterListId = 64;
inline constexpr int kEffectListId = 65;
inline constexpr int kDpiColourBoxIdBase = 70; // stage k's colour box is 70 + k (k from 1)
inline constexpr int kModeTextId = 86;
inline constexpr int kParameterTextId = 87;
inline constexpr int kEffectTextId = 88;
inline constexpr int kEventFaceId = 119;
inline constexpr int kLoopBoxId = 149;
inline constexpr int kNameBoxId = 150;
inline constexpr int kMacroListId = 151;
inline constexpr int kSequenceListId = 152;
inline constexpr int kEventListId = 154;

// --- the skinned dialogs' child controls -------------------------------------------------------
inline constexpr int kSingleKeyFaceId = 502;
inline constexpr int kComboModifierFaceId = 512;
inline constexpr int kComboModifierListId = 515;
inline constexpr int kComboFirstKeyEditId = 516;
inline constexpr int kComboSecondKeyEditId = 517;
inline constexpr int kWindowsFaceId = 532;
inline constexpr int kWindowsListId = 533;
inline constexpr int kMediaFaceId = 552;
inline constexpr int kMediaListId = 553;
inline constexpr int kSkinNameFaceId = 560;
inline constexpr int kSkinColourBoxId = 561;
inline constexpr int kSkinFolderListId = 562;
inline constexpr int kFireKeyFaceId = 572;
inline constexpr int kFireKeyListId = 573;
inline constexpr int kFireSpeedEditId = 574;
inline constexpr int kFireTimesEditId = 575;
inline constexpr int kMacroKeyFaceId = 592;
inline constexpr int kMacroKeyListId = 593;
inline constexpr int kDelayEditId = 600;
inline constexpr int kProfileListId = 610;
inline constexpr int kProfileNameEditId = 611;
inline constexpr int kProfileProgramListId = 612;
inline constexpr int kRunningProgramListId = 613;
inline constexpr int kProfileNameDialogEditId = 620;

} // namespace qor
