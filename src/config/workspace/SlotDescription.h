#pragma once

#include <string>
#include <vector>

// How a slot is described to the user in lists: a short preview of its text and its kinds
// of data.
namespace products::pastrix::config::workspace::SlotDescription {

// What stands for a secret's text, which is never shown.
inline constexpr const char* SecretText = "[Secret, not saved]";

// At most the first 200 characters, cut at the first carriage return, with "..." appended
// when that is shorter than the whole text.
std::string preview(const std::string& text);
// The names joined with ", ".
std::string dataTypes(const std::vector<std::string>& names);

}  // namespace products::pastrix::config::workspace::SlotDescription
