// What the payload reader tells its caller, and the caller's answer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <variant>

#include "engine/archive_format.h"

namespace cv {

struct notification {
    enum class result { proceed = 0, abort = 1, skip = 2 };

    struct started {};
    struct finished {
        std::uint64_t read;   // compressed payload bytes
        std::uint64_t total;  // archive length
    };
    struct entry_begin {
        const archive_entry& entry;
    };
    struct entry_end {
        const archive_entry& entry;
    };
    struct progress {
        std::uint64_t processed;
        std::uint64_t total;
    };
    struct error {
        std::error_code code;
        std::wstring path;
    };

    std::variant<started, finished, entry_begin, entry_end, progress, error> value;
};

using extract_callback = std::function<notification::result(const notification&)>;

}  // namespace cv
