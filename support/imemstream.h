// A seekable read-only input stream over memory that someone else owns; nothing is copied.
#pragma once

#include <cstddef>
#include <istream>
#include <streambuf>

namespace cv {

template <typename CharT, typename Traits = std::char_traits<CharT>>
class basic_imembuf : public std::basic_streambuf<CharT, Traits> {
public:
    using base = std::basic_streambuf<CharT, Traits>;
    using typename base::off_type;
    using typename base::pos_type;

    basic_imembuf(const CharT* data, std::size_t size) noexcept {
        auto* begin = const_cast<CharT*>(data);  // never written through: no put area
        this->setg(begin, begin, begin + size);
    }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir way,
                     std::ios_base::openmode which = std::ios_base::in) override {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        off_type base_offset = 0;
        if (way == std::ios_base::cur) base_offset = this->gptr() - this->eback();
        else if (way == std::ios_base::end) base_offset = this->egptr() - this->eback();
        const off_type target = base_offset + offset;
        if (target < 0 || target > this->egptr() - this->eback()) return pos_type(off_type(-1));
        this->setg(this->eback(), this->eback() + target, this->egptr());
        return pos_type(target);
    }

    pos_type seekpos(pos_type position, std::ios_base::openmode which = std::ios_base::in) override {
        return seekoff(off_type(position), std::ios_base::beg, which);
    }

    std::streamsize showmanyc() override {
        const auto left = this->egptr() - this->gptr();
        return left > 0 ? left : -1;
    }
};

namespace detail {
// Built before the stream base that points at it.
template <typename CharT, typename Traits>
struct imembuf_holder {
    basic_imembuf<CharT, Traits> buffer;
};
}  // namespace detail

template <typename CharT, typename Traits = std::char_traits<CharT>>
class basic_imemstream : private detail::imembuf_holder<CharT, Traits>,
                         public std::basic_istream<CharT, Traits> {
public:
    // An empty stream that is not good: what a lookup that found nothing hands out.
    basic_imemstream() : basic_imemstream(nullptr, 0) { this->setstate(std::ios_base::failbit); }
    basic_imemstream(const CharT* data, std::size_t size)
        : detail::imembuf_holder<CharT, Traits>{{data, size}},
          std::basic_istream<CharT, Traits>(&this->buffer) {}

    basic_imemstream(const basic_imemstream&) = delete;
    basic_imemstream& operator=(const basic_imemstream&) = delete;
};

using imemstream = basic_imemstream<char>;

}  // namespace cv
