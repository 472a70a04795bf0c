// extract_payload: started, the pump through the sink, then finished or one error.
#include "engine/extract_payload.h"

#include <optional>

#include "engine/archive_sink.h"
#include "engine/bzip2_pump.h"
#include "engine/compress_error.h"
#include "engine/failure_code.h"

namespace cv {

bool extract_payload(std::istream& source, const std::wstring& install_path, const std::wstring& sample_path,
                     const std::wstring& temporary_path, const extract_callback& callback) {
    std::optional<archive_sink> sink;
    try {
        callback({notification::started{}});
        sink.emplace(install_path, sample_path, temporary_path, callback);
        const std::uint64_t read =
            pump_bzip2(source, [&](const char* data, std::size_t size) { return sink->write(data, size); });
        sink->finish();
        if (!sink->complete()) throw_compress(compress_errc::unexpected);
        const std::uint64_t total = sink->total();
        callback({notification::finished{read, total}});
        return true;
    } catch (...) {
        failure_report report = translate_failure(std::current_exception());
        if (sink && sink->handled_path().size()) report.path = sink->handled_path();
        try {
            callback({notification::error{report.code, report.path}});
        } catch (...) {
            // The answer to an error is ignored, and so is a failure to hear it.
        }
        return false;
    }
}

}  // namespace cv
