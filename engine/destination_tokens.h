// The placeholder tokens that begin a payload destination, and what each stands for.
#pragma once

#include <span>
#include <string_view>

namespace cv {

enum class token_base { install_path, sample_path, shell_folder, temporary_path };

struct destination_token {
    std::wstring_view name;
    token_base base;
    int csidl;      // shell_folder only
    int fallback;   // used when has_fallback
    bool has_fallback;
    bool registers_shared;  // every folder formed below the token becomes a shared folder
};

// In the order in which a destination is compared with them.
std::span<const destination_token> destination_tokens() noexcept;

// The token spelled exactly as name (same length, same code units); null when none is.
const destination_token* find_destination_token(std::wstring_view name) noexcept;

// Whether name has a token's shape: '<' first and '>' last.
bool looks_like_token(std::wstring_view name) noexcept;

}  // namespace cv
