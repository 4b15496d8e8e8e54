#pragma once

// Command identifiers of the "ORBSCOPE" menu, control identifiers of the
// dialogs and the notification codes the dialog handlers receive. Commands
// are routed by these numbers, as the window procedure's command table does.

namespace orbscope {

// Menu commands.
inline constexpr int IDM_PRINTER_SETUP = 40002;
inline constexpr int IDM_PRINT = 40003;
inline constexpr int IDM_SET_ADDRESS = 40004;
inline constexpr int IDM_EXIT = 40011;
inline constexpr int IDM_HELP = 40012;
inline constexpr int IDM_ABOUT = 40013;
inline constexpr int IDM_START = 40016;
inline constexpr int IDM_STOP = 40017;
inline constexpr int IDM_STATISTICS = 40018;
inline constexpr int IDM_REFLASH = 40024;

// Dialog resources.
inline constexpr int IDD_SELECT_MODEM = 101;
inline constexpr int IDD_REFLASH = 108;

// Controls.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_ADDRESS = 1000;
inline constexpr int IDC_LOCAL_FILE = 1026;
inline constexpr int IDC_BROWSE = 1027;
inline constexpr int IDC_REMOTE_FILE = 1029;
inline constexpr int IDC_STATUS = 1030;

// Notification codes passed with a control's command.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int CBN_EDITCHANGE = 5;
inline constexpr int EN_CHANGE = 0x0300;

// The poll timer of the main window.
inline constexpr int kPollTimerId = 1;

}  // namespace orbscope
