// The token table; CSIDL values are spelled out so the table stays free of shell headers.
#include "engine/destination_tokens.h"

#include <array>

namespace cv {

namespace {

constexpr int CommonDesktop = 0x19, Desktop = 0x10, ProgramFiles = 0x26, ProgramFilesCommon = 0x2B,
              CommonAppData = 0x23, AppData = 0x1A, CommonDocuments = 0x2E, Personal = 0x05,
              Windows = 0x24, System = 0x25;

constexpr std::array<destination_token, 13> tokens{{
    {L"<InstallPath>", token_base::install_path, 0, 0, false, false},
    {L"<SamplePath>", token_base::sample_path, CommonDesktop, Desktop, true, false},
    {L"<ProgramFiles>", token_base::shell_folder, ProgramFiles, 0, false, false},
    {L"<ProgramCommon>", token_base::shell_folder, ProgramFilesCommon, 0, false, false},
    {L"<CommonData>", token_base::shell_folder, CommonAppData, AppData, true, true},
    {L"<UserData>", token_base::shell_folder, AppData, 0, false, false},
    {L"<CommonDocuments>", token_base::shell_folder, CommonDocuments, Personal, true, true},
    {L"<Documents>", token_base::shell_folder, Personal, 0, false, false},
    {L"<CommonDesktop>", token_base::shell_folder, CommonDesktop, Desktop, true, true},
    {L"<Desktop>", token_base::shell_folder, Desktop, 0, false, false},
    {L"<WinDir>", token_base::shell_folder, Windows, 0, false, false},
    {L"<System>", token_base::shell_folder, System, 0, false, false},
    {L"<Temporary>", token_base::temporary_path, 0, 0, false, false},
}};

}  // namespace

std::span<const destination_token> destination_tokens() noexcept { return tokens; }

const destination_token* find_destination_token(std::wstring_view name) noexcept {
    for (const auto& token : tokens)
        if (token.name == name) return &token;
    return nullptr;
}

bool looks_like_token(std::wstring_view name) noexcept {
    return !name.empty() && name.front() == L'<' && name.back() == L'>';
}

}  // namespace cv
