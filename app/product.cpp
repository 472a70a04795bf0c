// The product this installer carries: its id, key name, titles, version, and earlier install.
#include "app/product.h"

#include <stdexcept>

#include "support/paths.h"
#include "support/registry.h"

int productId = 0;

std::wstring ProductTitle(bool shortOnly) { return shortOnly ? L"Veltrano" : L"Veltrano 7.04d"; }

std::wstring product_key_name(int id) {
    switch (id) {
    case VeltranoProductId:
        return L"Veltrano 7";
    default:
        throw std::logic_error("logic error");
    }
}

std::wstring read_product_path(int id) {
    try {
        const cv::reg_key key = cv::reg_open_key(HKEY_LOCAL_MACHINE, MakerKey);
        if (!key) return {};
        std::wstring path;
        const std::wstring value = product_key_name(id) + L" Path";
        if (!cv::reg_read_string(key.get(), value.c_str(), path)) return {};
        return cv::path_exists(path) ? path : std::wstring();
    } catch (const std::exception&) {
        return {};
    }
}

std::wstring InstalledProgramPath() {
    static const std::wstring path = read_product_path(productId);
    return path;
}
