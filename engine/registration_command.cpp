// The command line of the installed product's registration run.
#include "engine/registration_command.h"

#include <windows.h>
#include <shlwapi.h>

#include <boost/format.hpp>

std::wstring RegistrationCommandLine(const std::wstring& programPath, std::uint64_t installedVersion) {
    wchar_t program[MAX_PATH] = {};
    std::wstring line = programPath;
    if (programPath.size() + 2 < MAX_PATH) {
        programPath.copy(program, programPath.size());
        ::PathQuoteSpacesW(program);
        line = program;
    }
    line += L" /Register /Background";
    if (installedVersion != 0) line += (boost::wformat(L" /update=%|1$016x|") % installedVersion).str();
    return line;
}
