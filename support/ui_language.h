// The user-interface language that the support library speaks; the application keeps it current.
#pragma once

#include <windows.h>

namespace cv {

struct ui_language {
    LANGID languageId = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
    HMODULE resourceModule = nullptr;  // null: the executable
};

ui_language current_ui_language();
void set_ui_language(const ui_language& language);

}  // namespace cv
