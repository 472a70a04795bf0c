// Translation of extraction failures into error codes.
#include "engine/failure_code.h"

#include <windows.h>

#include <boost/filesystem/exception.hpp>
#include <boost/system/system_error.hpp>

#include "engine/compress_error.h"

namespace cv {

namespace {

std::error_code from_boost(const boost::system::error_code& code) {
    if (code.category() == boost::system::generic_category()) return {code.value(), std::generic_category()};
    if (code.category() == boost::system::system_category()) return {code.value(), std::system_category()};
    return make_error_code(compress_errc::unexpected);
}

// The access-rights services throw an HRESULT; a Win32 one is reported as its Windows code.
std::error_code from_hresult(long hr) {
    const auto value = static_cast<unsigned long>(hr);
    if (HRESULT_FACILITY(value) == FACILITY_WIN32) return {static_cast<int>(HRESULT_CODE(value)), std::system_category()};
    return {static_cast<int>(hr), std::system_category()};
}

}  // namespace

failure_report translate_failure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const boost::filesystem::filesystem_error& error) {
        return {from_boost(error.code()), error.path1().wstring()};
    } catch (const boost::system::system_error& error) {
        return {from_boost(error.code()), {}};
    } catch (const std::system_error& error) {
        return {error.code(), {}};
    } catch (long hr) {
        return {from_hresult(hr), {}};
    } catch (...) {
        return {make_error_code(compress_errc::unexpected), {}};
    }
}

}  // namespace cv
