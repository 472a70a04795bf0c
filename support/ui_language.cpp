// The user-interface language that the support library speaks; the application keeps it current.
#include "support/ui_language.h"

namespace cv {

namespace {
ui_language& state() {
    static ui_language language;
    return language;
}
}  // namespace

ui_language current_ui_language() { return state(); }

void set_ui_language(const ui_language& language) { state() = language; }

}  // namespace cv
