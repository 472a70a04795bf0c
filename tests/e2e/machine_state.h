// A picture of the machine that an installation may change: every file under C:\ with its
// size, attributes and content hash, and every registry key and value of HKLM and HKCU.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct MachineState {
    // Path -> "attributes size crc" for files, "attributes <folder>" for folders.
    std::map<std::wstring, std::wstring> files;
    // "ROOT\key" -> "<key>", "ROOT\key\\value" -> "type:hex data".
    std::map<std::wstring, std::wstring> registry;
};

MachineState TakeSnapshot();

// One readable line per path or value that was added, removed or changed.
std::vector<std::wstring> Differences(const MachineState& before, const MachineState& after);

}  // namespace e2e
