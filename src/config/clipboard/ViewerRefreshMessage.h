#pragma once

namespace products::pastrix::config::clipboard {

// Posted to an open slot viewer after a copy into a slot has finished; the viewer rebuilds
// its list. wParam and lParam are 0.
inline constexpr unsigned int ViewerRefreshMessage = 0x800A;

}  // namespace products::pastrix::config::clipboard
