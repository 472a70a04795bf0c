// A window class's table of handlers: one entry per message or command, chained to the base's.
//
//   const MessageMap* CDlgPath::GetMessageMap() const {
//       static constexpr MessageEntry entries[] = {OnCommand<&CDlgPath::OnBrowse>(1006)};
//       static const MessageMap map{CDialog::GetMessageMap(), entries};
//       return &map;
//   }
#pragma once

#include <windows.h>

#include <span>
#include <type_traits>

class CWnd;

using MessageHandler = LRESULT (*)(CWnd& window, WPARAM wParam, LPARAM lParam);

struct MessageEntry {
    UINT message;  // WM_COMMAND for commands
    UINT id;       // command or control id (commands only)
    UINT code;     // notification code (commands only)
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageEntry> entries;
};

namespace framework_detail {

template <typename>
struct member_class;
template <typename C, typename R, typename... A>
struct member_class<R (C::*)(A...)> {
    using type = C;
};

template <auto Method>
LRESULT Invoke(CWnd& window, WPARAM wParam, LPARAM lParam) {
    using Class = typename member_class<decltype(Method)>::type;
    auto& self = static_cast<Class&>(window);
    if constexpr (std::is_invocable_v<decltype(Method), Class&, WPARAM, LPARAM>) {
        return (self.*Method)(wParam, lParam);
    } else {
        (self.*Method)();
        return 0;
    }
}

}  // namespace framework_detail

// A message handler: LRESULT Class::Handler(WPARAM, LPARAM).
template <auto Method>
constexpr MessageEntry OnMessage(UINT message) {
    return {message, 0, 0, &framework_detail::Invoke<Method>};
}

// A command handler: void Class::Handler(), for one control id and notification code.
template <auto Method>
constexpr MessageEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {WM_COMMAND, id, code, &framework_detail::Invoke<Method>};
}
