// Message maps: a table per class from window message, command id or
// notification to a member function, chained to the base class's table.
//
// A class lists its entries in its GetMessageMap override:
//
//   const MessageMap* CMainFrame::GetMessageMap() const {
//       static const MessageMapEntry entries[] = {
//           MapMessage<&CMainFrame::OnCreate>(WM_CREATE),
//           MapCommand<&CMainFrame::OnLeftBar>(32771),
//           MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(32951),
//       };
//       static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
//       return &map;
//   }
//
// The handler's signature says how the message's parameters reach it
// (see CallMessageHandler below); unknown shapes fail to compile.
#pragma once
#include "wnd/Geometry.h"

#include <commctrl.h>
#include <windows.h>

#include <span>
#include <tuple>
#include <type_traits>

class CCmdTarget;
class CCmdUI;

// Notification codes of the command routing (the id travels beside them).
inline constexpr int CN_COMMAND = 0;             // menu item, accelerator, button click
inline constexpr int CN_UPDATE_COMMAND_UI = -1;  // asks a handler to update a CCmdUI

enum class EntryKind {
    Message,         // a window message
    Command,         // WM_COMMAND with a notification code (0: menu, accelerator)
    CommandRange,    // WM_COMMAND code 0 for a range of ids; the handler gets the id
    UpdateUI,        // command-UI update for an id range
    Notify,          // WM_NOTIFY code from a control id range
    ReflectCommand,  // WM_COMMAND notification code reflected back to the control
    ReflectCommandEx,  // the same; the handler's FALSE lets the parent handle it as well
    ReflectNotify,   // WM_NOTIFY code reflected back to the control
};

// What a handler is called with: the raw message, and for commands and
// notifications the routed details.
struct HandlerCall {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT id = 0;
    CCmdUI* cmdUI = nullptr;
    NMHDR* nmhdr = nullptr;
    LRESULT* result = nullptr;
};

using HandlerThunk = LRESULT (*)(CCmdTarget& target, const HandlerCall& call);

struct MessageMapEntry {
    EntryKind kind;
    UINT code;     // message (Message) or notification code (Command, Notify, Reflect*)
    UINT firstId;  // control or command id range (commands, notifications)
    UINT lastId;
    HandlerThunk thunk;
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageMapEntry> entries;
};

namespace message_map_detail {

template <typename F> struct Member;
template <typename T, typename R, typename... A> struct Member<R (T::*)(A...)> {
    using Class = T;
    using Result = R;
    using Args = std::tuple<A...>;
};

template <typename Args, typename... Want> inline constexpr bool Is = std::is_same_v<Args, std::tuple<Want...>>;

template <auto Handler, typename... P> LRESULT Invoke(CCmdTarget& target, P&&... params) {
    using M = Member<decltype(Handler)>;
    auto& self = static_cast<typename M::Class&>(target);
    if constexpr (std::is_void_v<typename M::Result>) {
        (self.*Handler)(std::forward<P>(params)...);
        return 0;
    } else {
        return static_cast<LRESULT>((self.*Handler)(std::forward<P>(params)...));
    }
}

template <typename> inline constexpr bool kUnsupported = false;

// Window messages: the parameters are cracked by the handler's signature.
template <auto Handler> LRESULT CallMessageHandler(CCmdTarget& t, const HandlerCall& c) {
    using Args = typename Member<decltype(Handler)>::Args;
    const WPARAM w = c.wParam;
    const LPARAM l = c.lParam;
    if constexpr (Is<Args>) return Invoke<Handler>(t);
    else if constexpr (Is<Args, WPARAM, LPARAM>) return Invoke<Handler>(t, w, l);
    else if constexpr (Is<Args, LPCREATESTRUCT>) return Invoke<Handler>(t, reinterpret_cast<LPCREATESTRUCT>(l));
    else if constexpr (Is<Args, UINT, int, int>)  // WM_SIZE
        return Invoke<Handler>(t, static_cast<UINT>(w), static_cast<int>(static_cast<short>(LOWORD(l))), static_cast<int>(static_cast<short>(HIWORD(l))));
    else if constexpr (Is<Args, UINT, LPARAM>) return Invoke<Handler>(t, static_cast<UINT>(w), l);  // WM_SYSCOMMAND
    else if constexpr (Is<Args, UINT, CPoint>) return Invoke<Handler>(t, static_cast<UINT>(w), CPoint(l));  // mouse
    else if constexpr (Is<Args, UINT, UINT, UINT>)  // keys
        return Invoke<Handler>(t, static_cast<UINT>(w), static_cast<UINT>(LOWORD(l)), static_cast<UINT>(HIWORD(l)));
    else if constexpr (Is<Args, HMENU, UINT, BOOL>)  // WM_INITMENUPOPUP
        return Invoke<Handler>(t, reinterpret_cast<HMENU>(w), static_cast<UINT>(LOWORD(l)), static_cast<BOOL>(HIWORD(l)));
    else if constexpr (Is<Args, UINT_PTR>) return Invoke<Handler>(t, static_cast<UINT_PTR>(w));  // WM_TIMER
    else if constexpr (Is<Args, HDC>) return Invoke<Handler>(t, reinterpret_cast<HDC>(w));  // WM_ERASEBKGND
    else if constexpr (Is<Args, HWND, HWND>) return Invoke<Handler>(t, reinterpret_cast<HWND>(w), reinterpret_cast<HWND>(l));  // WM_MDIACTIVATE
    else if constexpr (Is<Args, BOOL, UINT>) return Invoke<Handler>(t, static_cast<BOOL>(w), static_cast<UINT>(l));  // WM_SHOWWINDOW
    else if constexpr (Is<Args, MINMAXINFO*>) return Invoke<Handler>(t, reinterpret_cast<MINMAXINFO*>(l));
    else static_assert(kUnsupported<Args>, "no parameter cracker for this handler signature");
}

template <auto Handler> LRESULT CallCommandHandler(CCmdTarget& t, const HandlerCall&) { return Invoke<Handler>(t); }
template <auto Handler> LRESULT CallRangeHandler(CCmdTarget& t, const HandlerCall& c) { return Invoke<Handler>(t, c.id); }
template <auto Handler> LRESULT CallUpdateHandler(CCmdTarget& t, const HandlerCall& c) { return Invoke<Handler>(t, c.cmdUI); }
template <auto Handler> LRESULT CallNotifyHandler(CCmdTarget& t, const HandlerCall& c) { return Invoke<Handler>(t, c.nmhdr, c.result); }

}  // namespace message_map_detail

// A window message: handler shapes as in message_map_detail::CallMessageHandler.
template <auto Handler> constexpr MessageMapEntry MapMessage(UINT message) {
    return {EntryKind::Message, message, 0, 0, &message_map_detail::CallMessageHandler<Handler>};
}
// A command (menu item, accelerator, button click): void OnX().
template <auto Handler> constexpr MessageMapEntry MapCommand(UINT id) {
    return {EntryKind::Command, CN_COMMAND, id, id, &message_map_detail::CallCommandHandler<Handler>};
}
// A range of commands: void OnX(UINT id).
template <auto Handler> constexpr MessageMapEntry MapCommandRange(UINT firstId, UINT lastId) {
    return {EntryKind::CommandRange, CN_COMMAND, firstId, lastId, &message_map_detail::CallRangeHandler<Handler>};
}
// A control's WM_COMMAND notification (BN_CLICKED, CBN_SELCHANGE, ...): void OnX().
template <auto Handler> constexpr MessageMapEntry MapControl(UINT notifyCode, UINT id) {
    return {EntryKind::Command, notifyCode, id, id, &message_map_detail::CallCommandHandler<Handler>};
}
// Command-UI update: void OnUpdateX(CCmdUI*).
template <auto Handler> constexpr MessageMapEntry MapUpdateUI(UINT id) {
    return {EntryKind::UpdateUI, 0, id, id, &message_map_detail::CallUpdateHandler<Handler>};
}
template <auto Handler> constexpr MessageMapEntry MapUpdateUIRange(UINT firstId, UINT lastId) {
    return {EntryKind::UpdateUI, 0, firstId, lastId, &message_map_detail::CallUpdateHandler<Handler>};
}
// WM_NOTIFY from a child: void OnX(NMHDR*, LRESULT*).
template <auto Handler> constexpr MessageMapEntry MapNotify(UINT notifyCode, UINT id) {
    return {EntryKind::Notify, notifyCode, id, id, &message_map_detail::CallNotifyHandler<Handler>};
}
// Notifications the parent reflects back to the control itself.
template <auto Handler> constexpr MessageMapEntry MapReflectNotify(UINT notifyCode) {
    return {EntryKind::ReflectNotify, notifyCode, 0, 0xFFFFFFFF, &message_map_detail::CallNotifyHandler<Handler>};
}
template <auto Handler> constexpr MessageMapEntry MapReflectCommand(UINT notifyCode) {
    return {EntryKind::ReflectCommand, notifyCode, 0, 0xFFFFFFFF, &message_map_detail::CallCommandHandler<Handler>};
}
// BOOL OnX(): TRUE when the control took the notification, FALSE to pass it on to its parent too.
template <auto Handler> constexpr MessageMapEntry MapReflectCommandEx(UINT notifyCode) {
    return {EntryKind::ReflectCommandEx, notifyCode, 0, 0xFFFFFFFF, &message_map_detail::CallCommandHandler<Handler>};
}
