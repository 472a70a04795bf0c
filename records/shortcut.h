// Shell links through the shell's link object.
#pragma once

#include <optional>
#include <string>

// Creates folder\name.lnk to target (name: the target's base name when none) with the
// target's folder as working folder; the link's path goes to linkPathOut on success.
bool CreateShortcut(const std::wstring& target, const std::wstring& folder,
                    const std::optional<std::wstring>& name, std::wstring* linkPathOut);
