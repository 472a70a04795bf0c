// Temporary staging: a file moved or copied aside into the system's temporary folder.
#pragma once

#include <optional>
#include <string>

// Moves or copies sourcePath into a fresh temporary file ("cv" prefix) and answers its path;
// with no source a free temporary name. Empty when nothing was staged.
std::wstring StashToTemp(const std::optional<std::wstring>& sourcePath, bool copy);
