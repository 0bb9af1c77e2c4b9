#pragma once
// Message maps. A class that handles messages declares DECLARE_MESSAGE_MAP() and lists its entries between
// BEGIN_MESSAGE_MAP(Class, Base) and END_MESSAGE_MAP(); naming the true base class there is the caller's rule,
// since a map chained to the wrong base silently skips that base's entries. Handlers keep the names and
// signatures the ON_ macros give (OnPaint, OnSize(UINT, int, int), ...); reflected entries (ON_..._REFLECT)
// belong in the child control's own map, never in the parent's.
// How the tables work: each class that declares one owns a static table of entries and a link to its base class's
// table. Dispatch walks from the most derived table to the root and runs the first matching entry, so a derived
// class overrides an entry of its base by listing the same message. Each entry's thunk casts the target back to
// the class that listed it and calls the handler through a member pointer of the exact handler type, so a
// handler with the wrong signature does not compile.
#include <windows.h>

class CCmdTarget;

using AFX_PMSG_THUNK = LRESULT (*)(CCmdTarget& target, UINT message, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message; WM_COMMAND for commands; WM_REFLECT_BASE + message for reflected entries
  UINT nCode;     // notification code (WM_COMMAND entries only)
  UINT nID;       // first control or command id (WM_COMMAND entries only)
  UINT nLastID;   // last id of the range
  AFX_PMSG_THUNK pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages are listed in a child's map under this offset; the parent sends them back to the child.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// The colour requests WM_CTLCOLORMSGBOX..WM_CTLCOLORSTATIC are listed under the one message WM_CTLCOLOR; the
// handler gets the kind (CTLCOLOR_STATIC etc.) as its nCtlColor argument.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
#ifndef CTLCOLOR_MSGBOX
#define CTLCOLOR_MSGBOX 0
#define CTLCOLOR_EDIT 1
#define CTLCOLOR_LISTBOX 2
#define CTLCOLOR_BTN 3
#define CTLCOLOR_DLG 4
#define CTLCOLOR_SCROLLBAR 5
#define CTLCOLOR_STATIC 6
#endif

constexpr bool AfxIsCtlColorMessage(UINT message) noexcept {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}
constexpr UINT AfxCtlColorType(UINT message) noexcept { return message - WM_CTLCOLORMSGBOX; }

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID) noexcept;

// The macros keep a hand-made layout, one continuation column a macro.
// clang-format off
#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                            \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }     \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                       \
    {                                                                                     \
        using ThisClass [[maybe_unused]] = theClass;                                      \
        using TheBaseClass = baseClass;                                                   \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                 \
            {0, 0, 0, 0, nullptr}                                                         \
        };                                                                                \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
        return &messageMap;                                                               \
    }

// Builds one entry. `signature` is the handler's exact member-function type, `call` the expression that
// invokes `pfn` on `self` and yields the LRESULT.
#define AFX_MSG_ENTRY(message, code, id, lastId, signature, member, call)                 \
    {(message), (code), (id), (lastId),                                                   \
     [](CCmdTarget& target, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {          \
         (void)msg; (void)wParam; (void)lParam;                                           \
         using Pfn = signature;                                                           \
         Pfn pfn = &ThisClass::member;                                                    \
         ThisClass& self = static_cast<ThisClass&>(target);                               \
         return call;                                                                     \
     }},

#define AFX_VOID_CALL(args) ((self.*pfn) args, LRESULT(0))

// Window messages
#define ON_WM_PAINT() \
    AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, void (ThisClass::*)(), OnPaint, AFX_VOID_CALL(()))
#define ON_WM_ERASEBKGND() \
    AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, BOOL (ThisClass::*)(CDC*), OnEraseBkgnd, \
                  LRESULT((self.*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)))))
#define ON_WM_DESTROY() \
    AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, void (ThisClass::*)(), OnDestroy, AFX_VOID_CALL(()))
#define ON_WM_QUERYDRAGICON() \
    AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, HCURSOR (ThisClass::*)(), OnQueryDragIcon, \
                  reinterpret_cast<LRESULT>((self.*pfn)()))
#define ON_WM_CTLCOLOR() \
    AFX_MSG_ENTRY(WM_CTLCOLOR, 0, 0, 0, HBRUSH (ThisClass::*)(CDC*, CWnd*, UINT), OnCtlColor, \
                  reinterpret_cast<LRESULT>((self.*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), \
                      CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), AfxCtlColorType(msg))))
#define ON_WM_ACTIVATE() \
    AFX_MSG_ENTRY(WM_ACTIVATE, 0, 0, 0, void (ThisClass::*)(UINT, CWnd*, BOOL), OnActivate, \
                  AFX_VOID_CALL((UINT(LOWORD(wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                 BOOL(HIWORD(wParam) != 0))))
#define ON_WM_DROPFILES() \
    AFX_MSG_ENTRY(WM_DROPFILES, 0, 0, 0, void (ThisClass::*)(HDROP), OnDropFiles, \
                  AFX_VOID_CALL((reinterpret_cast<HDROP>(wParam))))
#define ON_WM_SIZE() \
    AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0, void (ThisClass::*)(UINT, int, int), OnSize, \
                  AFX_VOID_CALL((UINT(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))))
#define ON_WM_GETMINMAXINFO() \
    AFX_MSG_ENTRY(WM_GETMINMAXINFO, 0, 0, 0, void (ThisClass::*)(MINMAXINFO*), OnGetMinMaxInfo, \
                  AFX_VOID_CALL((reinterpret_cast<MINMAXINFO*>(lParam))))
#define ON_WM_SETCURSOR() \
    AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0, BOOL (ThisClass::*)(CWnd*, UINT, UINT), OnSetCursor, \
                  LRESULT((self.*pfn)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), \
                                      HIWORD(lParam))))
#define ON_WM_MOUSEMOVE() \
    AFX_MSG_ENTRY(WM_MOUSEMOVE, 0, 0, 0, void (ThisClass::*)(UINT, CPoint), OnMouseMove, \
                  AFX_VOID_CALL((UINT(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)))))
#define ON_WM_TIMER() \
    AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, void (ThisClass::*)(UINT_PTR), OnTimer, \
                  AFX_VOID_CALL((UINT_PTR(wParam))))

// Any message, handled as LRESULT fn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    AFX_MSG_ENTRY(message, 0, 0, 0, LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn, \
                  (self.*pfn)(wParam, lParam))

// Commands and control notifications (WM_COMMAND), handled as void fn()
#define ON_CONTROL(code, id, memberFxn) \
    AFX_MSG_ENTRY(WM_COMMAND, UINT(code), UINT(id), UINT(id), void (ThisClass::*)(), memberFxn, AFX_VOID_CALL(()))
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// Reflected to the child control that sent them
#define ON_CONTROL_REFLECT(code, memberFxn) \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_COMMAND, UINT(code), 0, 0, void (ThisClass::*)(), memberFxn, \
                  AFX_VOID_CALL(()))
#define ON_WM_CTLCOLOR_REFLECT() \
    AFX_MSG_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0, HBRUSH (ThisClass::*)(CDC*, UINT), CtlColor, \
                  reinterpret_cast<LRESULT>((self.*pfn)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), \
                                                        AfxCtlColorType(msg))))
// clang-format on
