// Handler tables: each window has a constant table of (event, control number) -> member function
// and hands it to DispatchFromTable from its Dispatch override:
//
//     const framework::HandlerEntry<CMyDlg> CMyDlg::kHandlers[] = {
//         {framework::Msg::Click, IDC_BUTTON, &CMyDlg::OnButton},
//     };
//     bool CMyDlg::Dispatch(framework::Msg msg, int id) {
//         return framework::DispatchFromTable<CMyDlg>(kHandlers, *this, msg, id);
//     }
#pragma once

#include <span>

namespace framework {

enum class Msg {
    Click,     // BN_CLICKED from a button, check box or picture button
    SelChange, // LBN_SELCHANGE from a list box, on user changes only
    EndTrack,  // TB_ENDTRACK: a move of a trackbar finished (mouse, keyboard or wheel)
    Timer,     // WM_TIMER; the control number is the timer number
    Destroy,   // WM_DESTROY
    Paint,     // WM_PAINT
};

inline constexpr int kAnyId = -2;

template <class T>
struct HandlerEntry {
    Msg msg;
    int id; // control or timer number, or kAnyId
    void (T::*handler)();
};

// Calls the first matching entry; returns whether one matched.
template <class T>
bool DispatchFromTable(std::span<const HandlerEntry<T>> table, T& window, Msg msg, int id) {
    for (const auto& entry : table) {
        if (entry.msg == msg && (entry.id == id || entry.id == kAnyId)) {
            (window.*entry.handler)();
            return true;
        }
    }
    return false;
}

} // namespace framework
