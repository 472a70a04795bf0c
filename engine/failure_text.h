// The texts a user sees for the installation's progress and its failures.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

// The code of an extraction failure as message 1121 shows it: "1:%08X" for Windows codes,
// "2:%08X" for C runtime codes, the reader's own codes in decimal, "7" for anything else.
std::wstring ExtractionErrorText(const std::error_code& code);

// The progress bar's percentage, rounded; 100 only once every byte is done.
int ProgressPercent(std::uint64_t done, std::uint64_t total);
