// The error code and path that an extraction failure is reported with.
#pragma once

#include <exception>
#include <string>
#include <system_error>

namespace cv {

struct failure_report {
    std::error_code code;
    std::wstring path;  // the first path a file-system error carries, if any
};

// Translates the exception in failure: Windows and C runtime codes keep their category, the
// reader's own codes stay in compress_category(), an HRESULT thrown by the access-rights
// services becomes a Windows code, everything else becomes code 7.
failure_report translate_failure(std::exception_ptr failure);

}  // namespace cv
