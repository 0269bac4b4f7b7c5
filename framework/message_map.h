// Message maps: a static table per class from a window message, or a command id with
// its notification, to a member handler.
//
// Each class that reacts to messages writes DECLARE_MESSAGE_MAP() in its declaration
// and a BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP() block in its source file.
// Dispatch walks the tables from the most derived class to CWnd; the first entry that
// matches wins. Every entry goes through a small typed thunk, so a handler with the
// wrong signature fails to compile instead of being called through a cast.
#pragma once

#include <windows.h>

#include <type_traits>

class CWnd;
class CCmdUI;

// Calls one handler; true when the message counts as handled (the system then skips
// its own default handling), with the handler's result in *pResult.
using MessageThunk = bool (*)(CWnd* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct MessageMapEntry {
    UINT nMessage;
    UINT nCode; // WM_COMMAND: the notification code
    UINT nId;   // WM_COMMAND and command updates: the control id
    MessageThunk pfnThunk;
};

struct CMessageMap {
    const CMessageMap* (*pfnGetBaseMap)();
    const MessageMapEntry* pEntries; // ends with an entry whose thunk is null
};

// Not a window message: marks the entries that answer a command-update pass.
constexpr UINT kCommandUpdateMessage = 0xFFFFFFFEu;

namespace message_map_detail {
template <class TMember>
struct MemberOf;
template <class TClass, class TResult, class... TArgs>
struct MemberOf<TResult (TClass::*)(TArgs...)> {
    using Class = TClass;
};

template <auto pfn>
typename MemberOf<decltype(pfn)>::Class* Target(CWnd* pWnd)
{
    return static_cast<typename MemberOf<decltype(pfn)>::Class*>(pWnd);
}

// void OnCommand(): a command or control notification.
template <auto pfn>
bool Command(CWnd* pWnd, WPARAM, LPARAM, LRESULT* pResult)
{
    static_assert(std::is_same_v<decltype(pfn), void (MemberOf<decltype(pfn)>::Class::*)()>, "handler must be void()");
    (Target<pfn>(pWnd)->*pfn)();
    *pResult = 0;
    return true;
}

// LRESULT OnMessage(WPARAM, LPARAM): any message, parameters passed through.
template <auto pfn>
bool Message(CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    *pResult = (Target<pfn>(pWnd)->*pfn)(wParam, lParam);
    return true;
}

// void OnDestroy(): the system's default handling still follows.
template <auto pfn>
bool Destroy(CWnd* pWnd, WPARAM, LPARAM, LRESULT*)
{
    (Target<pfn>(pWnd)->*pfn)();
    return false;
}

// void OnShowWindow(BOOL bShow, UINT nStatus): the system's default handling still follows.
template <auto pfn>
bool ShowWindow(CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT*)
{
    (Target<pfn>(pWnd)->*pfn)(wParam != 0 ? TRUE : FALSE, static_cast<UINT>(lParam));
    return false;
}

// void OnUpdate(CCmdUI*): one control's turn in a command-update pass.
template <auto pfn>
bool CommandUpdate(CWnd* pWnd, WPARAM, LPARAM lParam, LRESULT*)
{
    (Target<pfn>(pWnd)->*pfn)(reinterpret_cast<CCmdUI*>(lParam));
    return true;
}
} // namespace message_map_detail

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const CMessageMap* GetThisMessageMap();     \
    const CMessageMap* GetMessageMap() const override; \
                                                       \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
    const CMessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const CMessageMap* theClass::GetThisMessageMap()                                   \
    {                                                                                  \
        using ThisClass = theClass;                                                    \
        using TheBaseClass = baseClass;                                                \
        static const MessageMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                           \
    {0, 0, 0, nullptr}                                                              \
    };                                                                              \
    static const CMessageMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
    return &s_map;                                                                  \
    }

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, static_cast<UINT>(id), &message_map_detail::Command<&ThisClass::memberFxn>},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), &message_map_detail::Command<&ThisClass::memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_MESSAGE(message, memberFxn) {static_cast<UINT>(message), 0, 0, &message_map_detail::Message<&ThisClass::memberFxn>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &message_map_detail::Destroy<&ThisClass::OnDestroy>},
#define ON_WM_SHOWWINDOW() {WM_SHOWWINDOW, 0, 0, &message_map_detail::ShowWindow<&ThisClass::OnShowWindow>},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {kCommandUpdateMessage, 0, static_cast<UINT>(id), &message_map_detail::CommandUpdate<&ThisClass::memberFxn>},
