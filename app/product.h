// The product this installer carries: its id, key name, titles, version, and earlier install.
#pragma once

#include <cstdint>
#include <string>

// High byte the product family, low byte the major version.
inline constexpr int VeltranoProductId = 0x0307;

// The process-wide product descriptor, set by the application object before anything reads it.
extern int productId;

// The version of the product program in the payload (7.4.4.1), most significant word first.
inline constexpr std::uint64_t ProductVersion = 0x0007000400040001ULL;
inline constexpr const wchar_t* ProductVersionText = L"7.4.4.1";
inline constexpr const wchar_t* MakerName = L"Corvenna";
inline constexpr const wchar_t* MakerKey = L"Software\\Corvenna";

// "Veltrano" or "Veltrano 7.04d".
std::wstring ProductTitle(bool shortOnly);
// The name registry paths and folders use for a product; std::logic_error for unknown ids.
std::wstring product_key_name(int id);
// The recorded program path of an earlier installation, when that file exists; else empty.
std::wstring read_product_path(int id);
// read_product_path(productId), evaluated once.
std::wstring InstalledProgramPath();
