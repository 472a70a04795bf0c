// Translation of extraction failures into error codes.
#include "engine/failure_code.h"

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
    } catch (...) {
        return {make_error_code(compress_errc::unexpected), {}};
    }
}

}  // namespace cv
