// Objects that receive messages and commands through a message map: a table,
// per class, of which message goes to which member function, chained to the
// table of the base class.
#pragma once

#include "afx/UserTypes.h"

class CCmdTarget;

// Handlers take no arguments; the one handler that answers something
// (WM_QUERYDRAGICON) has a signature of its own.
using AfxHandler = void (CCmdTarget::*)();
using AfxQueryHandler = HCURSOR (CCmdTarget::*)();

struct AfxMessageEntry {
    UINT message;  // 0 ends a table
    UINT code;     // notification code, for WM_COMMAND
    UINT id;       // control or command identifier, for WM_COMMAND
    AfxHandler handler;
    AfxQueryHandler query;
};

struct AfxMessageMap {
    const AfxMessageMap* base;  // null at the root
    const AfxMessageEntry* entries;
};

// Table entries. A handler of a derived class is stored as a handler of
// CCmdTarget; it is only ever called on an object of that class.
template <class T>
constexpr AfxMessageEntry AfxOnMessage(UINT message, void (T::*handler)()) {
    return {message, 0, 0, static_cast<AfxHandler>(handler), nullptr};
}
template <class T>
constexpr AfxMessageEntry AfxOnQuery(UINT message, HCURSOR (T::*handler)()) {
    return {message, 0, 0, nullptr, static_cast<AfxQueryHandler>(handler)};
}
template <class T>
constexpr AfxMessageEntry AfxOnCommand(UINT code, UINT id, void (T::*handler)()) {
    return {WM_COMMAND, code, id, static_cast<AfxHandler>(handler), nullptr};
}
constexpr AfxMessageEntry AfxEndOfMap() { return {0, 0, 0, nullptr, nullptr}; }

class CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Calls the handler that the message map of this object's class (or of
    // a base class) gives the message. FALSE when no entry names it. For
    // WM_COMMAND, `wParam` carries the code (high word) and the identifier
    // (low word), as Windows sends them.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The class's own table; every class with a map overrides this.
    virtual const AfxMessageMap* GetMessageMap() const { return nullptr; }

  protected:
    // Set by a handler that wants the default handling after all (see
    // CWnd::Default); OnWndMsg then answers FALSE.
    bool m_bWantDefault = false;
};
