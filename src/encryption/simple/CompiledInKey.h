#pragma once

namespace encryption::simple {

// The key "config.cfg" is scrambled with. It is part of the file format: a program built
// with another key cannot read the files this one writes, so it never changes.
inline constexpr const char* CompiledInKey = "R7hKq2VwL9xTc4NpZ8mFb3GsJ6yDe";

}  // namespace encryption::simple
