// Owning types for COM: an interface pointer released once, an apartment entered for a scope.
#pragma once

#include <objbase.h>

#include "support/unique_any.h"

namespace detail {
template <typename Interface>
void ReleaseInterface(Interface* pointer) noexcept {
    pointer->Release();
}
}  // namespace detail

template <typename Interface>
using unique_com = cv::unique_null<Interface*, &detail::ReleaseInterface<Interface>>;

// CoInitialize for the life of the object; CoUninitialize only when it was entered.
class ComApartment {
public:
    ComApartment() noexcept : result_(::CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (entered()) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool entered() const noexcept { return result_ == S_OK || result_ == S_FALSE; }

private:
    HRESULT result_;
};
