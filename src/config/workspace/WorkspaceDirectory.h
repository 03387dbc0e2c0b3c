#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// The checks that keep a workspace inside its base directory and keep its loader away from
// files that are not plain files. A workspace name, a slot file or a Cool Key file comes from
// disk or from a settings file the user can edit, so none of them is trusted.
namespace products::pastrix::config::workspace::WorkspaceDirectory {

// The largest slot file read when no size limit applies.
inline constexpr std::uint64_t LargestUnlimitedFile = 512ULL * 1024 * 1024;
// What a slot file holds besides the data itself: the header and the head of each entry, for
// as many formats as a clipboard plausibly offers.
inline constexpr std::uint64_t SlotFileOverhead = 260 + 8 * 1024;

// Why the name cannot be a workspace below the base directory (which ends in a separator):
// it is not one plain folder name, or its folder resolves to a place outside the base. A
// name whose folder does not exist yet passes when it is a plain folder name.
std::optional<std::string> whyNotAWorkspace(const std::string& baseDirectory,
                                            const std::string& name);

// Deletes the workspace's files and its folder. A folder that is a symbolic link loses only
// the link, never the files it leads to. Raises windows::file::WindowsFileException.
void remove(const std::string& baseDirectory, const std::string& name);

// How long a temporary file must have gone unwritten before it counts as left by a kill or a
// crash: a younger one may be another process's save in progress (pastrixctl beside the
// program), which removing it would make fail.
inline constexpr std::chrono::minutes LeftoverAge{10};

// Removes the temporary files that a save cut short by a kill or a crash left in the
// directory. They are never loaded; removing them keeps them from piling up. A failure to
// remove one is left for the next time.
void removeLeftovers(const std::string& directory);

// Why the file cannot be loaded as it is, asked before anything opens it: it is a symbolic
// link, a device, a pipe or a socket, or it is larger than `largest` bytes.
std::optional<std::string> whyNotLoadable(const std::string& path, std::uint64_t largest);

// The largest slot file worth reading under the size limit (0 for none): a slot larger than
// the limit is never written, so a larger file is not one of ours.
std::uint64_t largestSlotFile(std::uint32_t sizeLimit);

}  // namespace products::pastrix::config::workspace::WorkspaceDirectory
