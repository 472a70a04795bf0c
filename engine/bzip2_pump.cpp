// The bzip2 pump, a loop around libbz2's own decompression calls.
#include "engine/bzip2_pump.h"

#include <bzlib.h>

#include <new>

#include "engine/compress_error.h"

namespace cv {

namespace {

class bzip2_decompressor {
public:
    bzip2_decompressor() { start(); }
    ~bzip2_decompressor() { BZ2_bzDecompressEnd(&stream_); }
    bzip2_decompressor(const bzip2_decompressor&) = delete;
    bzip2_decompressor& operator=(const bzip2_decompressor&) = delete;

    // The next stream of a payload made of several; the input not yet used stays.
    void restart() {
        char* next = stream_.next_in;
        const unsigned available = stream_.avail_in;
        BZ2_bzDecompressEnd(&stream_);
        start();
        stream_.next_in = next;
        stream_.avail_in = available;
    }

    bz_stream& stream() noexcept { return stream_; }

    // true at the end of a stream
    bool run() {
        const int result = BZ2_bzDecompress(&stream_);
        if (result == BZ_STREAM_END) return true;
        if (result == BZ_OK) return false;
        if (result == BZ_MEM_ERROR) throw std::bad_alloc();
        throw_compress(compress_errc::bzip2);
    }

private:
    void start() {
        stream_ = bz_stream{};
        // Normal mode: the small-memory mode would be several times slower.
        const int result = BZ2_bzDecompressInit(&stream_, 0, 0);
        if (result == BZ_MEM_ERROR) throw std::bad_alloc();
        if (result != BZ_OK) throw_compress(compress_errc::bzip2);
    }

    bz_stream stream_{};
};

void offer(const byte_consumer& consume, const char* data, std::size_t size) {
    while (size != 0) {
        const std::size_t used = consume(data, size);
        data += used;
        size -= used;
    }
}

}  // namespace

std::uint64_t pump_bzip2(std::istream& source, const byte_consumer& consume) {
    // A failed stream is what a missing resource gives: nothing to read is not an empty payload.
    if (!source.good()) throw std::ios_base::failure("the payload stream cannot be read");
    bzip2_decompressor decompressor;
    bz_stream& stream = decompressor.stream();
    char input[pump_block_size];
    char output[pump_block_size];
    std::uint64_t read = 0;
    bool inStream = false;
    bool anyStream = false;

    for (;;) {
        source.read(input, sizeof input);
        const auto count = static_cast<std::size_t>(source.gcount());
        if (source.bad()) throw std::ios_base::failure("the payload could not be read");
        if (count == 0) break;
        read += count;
        stream.next_in = input;
        stream.avail_in = static_cast<unsigned>(count);
        while (stream.avail_in != 0) {
            if (!inStream && anyStream) decompressor.restart();
            inStream = anyStream = true;
            bool ended = false;
            do {
                stream.next_out = output;
                stream.avail_out = sizeof output;
                ended = decompressor.run();
                offer(consume, output, sizeof output - stream.avail_out);
            } while (!ended && (stream.avail_in != 0 || stream.avail_out == 0));
            if (ended) inStream = false;
        }
    }
    // A payload is at least one complete stream.
    if (inStream || !anyStream) throw_compress(compress_errc::bzip2);
    return read;
}

}  // namespace cv
