// Hooks through which the application lends the support library its caption, icon, owner
// window and modeless switching; a missing hook falls back to the library's own rule.
#include "support/ui_hooks.h"

namespace cv {

ui_hooks& ui_hooks::get() {
    static ui_hooks hooks;
    return hooks;
}

}  // namespace cv
