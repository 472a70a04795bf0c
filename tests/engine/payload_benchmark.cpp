// Benchmark of the payload reader: time and peak working set while extracting the demo payload
// and one ten times larger, and the time of a pure decompression of the demo payload.
// Run (after building the target payload_benchmark_data):
//   CV_WINE_ROOT=$PWD/build/<dir>/wine CV_FRESH_PREFIX=1 tools/wine-run.sh build/<dir>/tests/engine/payload_benchmark.exe build/<dir>/demo/payload.bin build/<dir>/tests/engine/payload_x10.bin
// The payloads are read from files through a stream, as the installer reads its resource; the
// pages of a resource would count in the working set as the operating system maps them, the
// reader's own memory is what this measures.
#include <windows.h>
#include <psapi.h>

#include <boost/filesystem.hpp>
#include <boost/filesystem/fstream.hpp>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/bzip2_pump.h"
#include "engine/extract_payload.h"

namespace {

namespace fs = boost::filesystem;
using clock_type = std::chrono::steady_clock;

// Decimal megabytes, as the payload sizes are quoted.
double Megabytes(std::uint64_t bytes) { return static_cast<double>(bytes) / 1e6; }

SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

double Seconds(clock_type::time_point start) {
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

fs::path Argument(const wchar_t* text) {
    fs::path path(text);
    return path.is_absolute() ? path : fs::current_path() / path;
}

double Decompress(const fs::path& payload) {
    fs::ifstream source(payload, std::ios::binary);
    const auto start = clock_type::now();
    cv::pump_bzip2(source, [](const char*, std::size_t size) { return size; });
    return Seconds(start);
}

struct Extraction {
    bool done = false;
    double seconds = 0;
    std::uint64_t archive = 0;
    std::size_t files = 0;
};

Extraction Extract(const fs::path& payload, const fs::path& folder) {
    fs::ifstream source(payload, std::ios::binary);
    Extraction result;
    std::vector<std::wstring> written;
    const auto start = clock_type::now();
    result.done = cv::extract_payload(source, folder.wstring(), L"Veltrano Examples", (folder / L"temp").wstring(),
                                      [&](const cv::notification& message) {
                                          if (auto* end = std::get_if<cv::notification::entry_end>(&message.value))
                                              written.push_back(end->entry.destination);
                                          if (auto* finished = std::get_if<cv::notification::finished>(&message.value))
                                              result.archive = finished->total;
                                          if (auto* error = std::get_if<cv::notification::error>(&message.value))
                                              std::fprintf(stderr, "error %s %d at %ls\n", error->code.category().name(),
                                                           error->code.value(), error->path.c_str());
                                          return cv::notification::result::proceed;
                                      });
    result.seconds = Seconds(start);
    result.files = written.size();
    boost::system::error_code ignored;
    for (const auto& file : written) fs::remove(file, ignored);
    fs::remove_all(folder, ignored);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: payload_benchmark DEMO_PAYLOAD LARGE_PAYLOAD\n");
        return 2;
    }
    const fs::path demo = Argument(argv[1]), large = Argument(argv[2]);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / fs::unique_path(L"payload-benchmark-%%%%-%%%%");

    std::printf("peak working set at start: %.2f MB\n", Megabytes(PeakWorkingSet()));
    const double decompression = Decompress(demo);
    std::printf("pure decompression of the demo payload (%.1f MB compressed): %.2f s\n",
                Megabytes(fs::file_size(demo)), decompression);
    const Extraction small = Extract(demo, folder);
    const SIZE_T smallPeak = PeakWorkingSet();
    std::printf("demo payload: %s, %zu files, archive %.1f MB, extraction %.2f s, peak working set %.2f MB\n",
                small.done ? "extracted" : "FAILED", small.files, Megabytes(small.archive), small.seconds,
                Megabytes(smallPeak));
    const Extraction big = Extract(large, folder);
    const SIZE_T bigPeak = PeakWorkingSet();
    std::printf("ten times larger: %s, %zu files, archive %.1f MB, extraction %.2f s, peak working set %.2f MB\n",
                big.done ? "extracted" : "FAILED", big.files, Megabytes(big.archive), big.seconds, Megabytes(bigPeak));
    const double growth = Megabytes(bigPeak - smallPeak);
    std::printf("peak growth from the larger payload: %.2f MB (%s)\n", growth, growth <= 1.0 ? "within 1 MB" : "MORE THAN 1 MB");
    return small.done && big.done && growth <= 1.0 ? 0 : 1;
}
