#pragma once

namespace platform {

// Who the program is and where its users find help.
inline constexpr const char* ProductName = "Pastrix";
inline constexpr const char* SupportAddress = "support@pastrix.org";
inline constexpr const char* Homepage = "https://pastrix.org/";

}  // namespace platform
