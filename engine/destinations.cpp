// Resolution of payload destinations: the token replaced by its folder, shared folders noted.
#include <boost/filesystem/path.hpp>

#include <algorithm>

#include "engine/archive_sink.h"
#include "engine/compress_error.h"
#include "engine/destination_tokens.h"
#include "engine/shell_folder.h"
#include "support/paths.h"

namespace cv {

namespace fs = boost::filesystem;

namespace {

constexpr int CommonDesktop = 0x19, Desktop = 0x10;

// A trailing separator shows up as "." or as an empty element; neither names a folder.
bool is_folder_name(const fs::path& element) {
    return !element.empty() && element != fs::path(L".");
}

}  // namespace

std::wstring archive_sink::sample_base() {
    if (sample_path_.empty()) return shell_folder(CommonDesktop, Desktop, true);
    const fs::path sample(sample_path_);
    if (sample.has_root_name() && sample.has_root_directory()) return sample_path_;
    const std::wstring base = (fs::path(shell_folder(CommonDesktop, Desktop, true)) / sample).wstring();
    register_shared_folder(base);
    return base;
}

std::wstring archive_sink::resolve_destination(const std::wstring& destination) {
    const fs::path path(destination);
    auto element = path.begin();
    if (element == path.end()) return destination;
    const std::wstring first = element->wstring();
    if (!looks_like_token(first)) return destination;
    // An unknown token would leave a relative path, written below the current folder.
    const destination_token* token = find_destination_token(first);
    if (!token) throw_compress(compress_errc::unexpected);

    fs::path joined;
    switch (token->base) {
    case token_base::install_path: joined = install_path_; break;
    case token_base::sample_path: joined = sample_base(); break;
    case token_base::temporary_path: joined = temporary_path_.empty() ? install_path_ : temporary_path_; break;
    case token_base::shell_folder:
        joined = shell_folder(token->csidl, token->fallback, token->has_fallback);
        break;
    }
    for (++element; element != path.end(); ++element) {
        if (!is_folder_name(*element)) continue;
        joined /= *element;
        if (token->registers_shared) register_shared_folder(joined.wstring());
    }
    return joined.wstring();
}

void archive_sink::register_shared_folder(const std::wstring& path) {
    const bool known = std::any_of(shared_folders_.begin(), shared_folders_.end(),
                                   [&](const shared_folder& folder) { return same_path(folder.path, path); });
    if (!known) shared_folders_.push_back({path, false});
}

}  // namespace cv
