#pragma once

#include "os/DialogTemplate.h"

// The program's dialogs and property pages as data, with their control ids and tips.
namespace products::pastrix::config::tab::templates {

// The slot settings page.
namespace pxtab {
inline constexpr int Dialog = 103;
inline constexpr int Enabled = 1100;
inline constexpr int UseToolTip = 1101;
inline constexpr int FilterLabel = 1024;
inline constexpr int FilterList = 1021;
inline constexpr int KeyBox = 1022;
inline constexpr int Add = 1023;
inline constexpr int LimitLabel = 1025;
inline constexpr int Limits = 1026;
inline constexpr int Clipboards = 1102;
const os::DialogTemplate& dialogTemplate();
}  // namespace pxtab

// The slot viewer.
namespace viewclipboards {
inline constexpr int Dialog = 129;
inline constexpr int List = 1300;
const os::DialogTemplate& dialogTemplate();
}  // namespace viewclipboards

// The About page.
namespace about {
inline constexpr int Dialog = 107;
inline constexpr int Homepage = 1015;
inline constexpr int Question = 1016;
inline constexpr int Description = 1017;
inline constexpr int Title = 1018;
const os::DialogTemplate& dialogTemplate();
}  // namespace about

// The Cool Keys page.
namespace cctab {
inline constexpr int Dialog = 102;
inline constexpr int Enabled = 1200;
inline constexpr int List = 1034;
inline constexpr int Add = 1029;
inline constexpr int Hint = 1038;
const os::DialogTemplate& dialogTemplate();
}  // namespace cctab

// The editor of one Cool Key.
namespace abbreviation {
inline constexpr int Dialog = 135;
inline constexpr int Abbreviation = 1035;
inline constexpr int Text = 1037;
const os::DialogTemplate& dialogTemplate();
}  // namespace abbreviation
// The newsletter sign-up at start-up.
namespace newsletter {
inline constexpr int Dialog = 136;
inline constexpr int Signup = 1;
inline constexpr int Skip = 2;
inline constexpr int EmailAddress = 1040;
inline constexpr int Picture = 1041;
// The picture the dialog shows, and the resource file a toolkit renders it from.
inline constexpr int Bitmap = 137;
inline constexpr const char* BitmapResource = "newsletter.png";
const os::DialogTemplate& dialogTemplate();
}  // namespace newsletter
// The property sheet around the pages: the system's own sheet has no resource, so this
// template only gives its frame and standard buttons (renamed when the sheet starts).
namespace sheet {
inline constexpr int Dialog = 0x7F00;
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Help = 9;
const os::DialogTemplate& dialogTemplate();
}  // namespace sheet

// The System page.
namespace system {
inline constexpr int Dialog = 101;
inline constexpr int StartAutomatically = 1000;
inline constexpr int Workspaces = 1001;
inline constexpr int CreateWorkspace = 1002;
inline constexpr int DeleteWorkspace = 1003;
inline constexpr int Enabled = 1012;
const os::DialogTemplate& dialogTemplate();
}  // namespace system

// The dialog that asks for a new workspace's name.
namespace newworkspace {
inline constexpr int Dialog = 130;
inline constexpr int Name = 1014;
const os::DialogTemplate& dialogTemplate();
}  // namespace newworkspace

}  // namespace products::pastrix::config::tab::templates
