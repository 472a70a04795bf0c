// Owning wrappers for Windows handles: one line declares a type, the destructor closes it.
#pragma once

#include <utility>

namespace cv {

// Traits for a handle whose "no handle" value is the value-initialised T (null).
template <typename T, auto Close>
struct null_handle_traits {
    using type = T;
    static constexpr T invalid() noexcept { return T{}; }
    static void close(T value) noexcept { Close(value); }
};

template <typename Traits>
class unique_any {
public:
    using type = typename Traits::type;

    unique_any() noexcept = default;
    explicit unique_any(type value) noexcept : value_(value) {}
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // For out-parameters of API calls: closes what is held, then hands out the slot.
    type* put() noexcept {
        reset();
        return &value_;
    }
    type release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(type value = Traits::invalid()) noexcept {
        type old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    type value_ = Traits::invalid();
};

template <typename T, auto Close>
using unique_null = unique_any<null_handle_traits<T, Close>>;

}  // namespace cv
