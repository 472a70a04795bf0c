// The framework's message box, shown through the support library with the framework's hooks.
#include "framework/message_box.h"

#include "framework/ui_glue.h"
#include "support/error_text.h"

int AfxMessageBox(const std::wstring& text, UINT type) {
    InstallFrameworkHooks();
    return cv::message_box(text.c_str(), type);
}
