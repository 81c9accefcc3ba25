// Standard error held back while something runs that may fail noisily. Libraries write to file
// descriptor 2 directly, past any message handler, so the hold is on the descriptor itself: for
// the hold's lifetime descriptor 2 is an unnamed in-memory file. At the end of the hold the real
// standard error comes back and receives what was written, unchanged; or, after Discard, nothing.
#pragma once

namespace framework {

class StandardErrorHold {
public:
    // Holds descriptor 2 from here on. Where that cannot be done (no descriptor 2, no memory
    // file), nothing is held and writes go straight through, as without a hold.
    StandardErrorHold();
    // Puts the real standard error back and passes on what was held.
    ~StandardErrorHold();
    StandardErrorHold(const StandardErrorHold&) = delete;
    StandardErrorHold& operator=(const StandardErrorHold&) = delete;

    // Puts the real standard error back and forgets what was held. Async-signal-safe, so that
    // it may run inside a fatal handler just before the process ends.
    void Discard() noexcept;

private:
    void Restore() noexcept;

    int m_held = -1;     // the in-memory file descriptor 2 writes to during the hold
    int m_original = -1; // a copy of the real standard error
};

} // namespace framework
