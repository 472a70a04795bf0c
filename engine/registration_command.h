// The command line of the installed product's registration run.
#pragma once

#include <cstdint>
#include <string>

// programPath (quoted when it has blanks) and " /Register /Background", with
// " /update=" and the earlier file version in 16 hexadecimal digits when that is not 0.
std::wstring RegistrationCommandLine(const std::wstring& programPath, std::uint64_t installedVersion);
