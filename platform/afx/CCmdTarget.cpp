#include "afx/CCmdTarget.h"

namespace {

const AfxMessageEntry* FindEntry(const AfxMessageMap* map, UINT message, UINT code, UINT id) {
    for (; map != nullptr; map = map->base) {
        for (const AfxMessageEntry* e = map->entries; e != nullptr && e->message != 0; ++e) {
            if (e->message != message) continue;
            if (message == WM_COMMAND && (e->code != code || e->id != id)) continue;
            return e;
        }
    }
    return nullptr;
}

}  // namespace

BOOL CCmdTarget::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    const UINT code = static_cast<UINT>((wParam >> 16) & 0xFFFF);
    const UINT id = static_cast<UINT>(wParam & 0xFFFF);
    const AfxMessageEntry* entry = FindEntry(GetMessageMap(), message, code, id);
    if (entry == nullptr) return FALSE;
    // Handlers can nest (a handler sends a message to its own window), so
    // the flag of the outer message is kept.
    const bool outer = m_bWantDefault;
    m_bWantDefault = false;
    LRESULT answer = 0;
    if (entry->query != nullptr) {
        answer = reinterpret_cast<LRESULT>((this->*entry->query)());
    } else {
        (this->*entry->handler)();
    }
    const bool wantDefault = m_bWantDefault;
    m_bWantDefault = outer;
    if (wantDefault) return FALSE;
    if (result != nullptr) *result = answer;
    return TRUE;
}
