// Handler tables: each window declares a table of (event, control number) -> member function.
#pragma once

#include <span>

namespace framework {

enum class Msg {
    Click,           // BN_CLICKED from a button, check box or picture button
    SelChange,       // LBN_SELCHANGE from a list box, on user changes only
    ReleasedCapture, // NM_RELEASEDCAPTURE: the mouse let go of a trackbar
    EndTrack,        // TB_ENDTRACK: a move of a trackbar finished (mouse, keyboard or wheel)
    Timer,           // WM_TIMER; the control number is the timer number
    Destroy,         // WM_DESTROY
    Paint,           // WM_PAINT
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

// Declares the handler table of a window class; define it with BEGIN/END below in the .cpp.
#define DECLARE_HANDLER_TABLE(Class)                                                               \
protected:                                                                                         \
    bool Dispatch(framework::Msg msg, int id) override;                                            \
                                                                                                   \
private:                                                                                           \
    static const framework::HandlerEntry<Class> kHandlers[];

#define BEGIN_HANDLER_TABLE(Class) const framework::HandlerEntry<Class> Class::kHandlers[] = {
#define END_HANDLER_TABLE(Class)                                                                   \
    }                                                                                              \
    ;                                                                                              \
    bool Class::Dispatch(framework::Msg msg, int id) {                                             \
        return framework::DispatchFromTable<Class>(kHandlers, *this, msg, id);                     \
    }
