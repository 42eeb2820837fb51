// A pass over a big table (Find Next, Arithmetic) runs on the user-interface thread and is fast:
// about ten million cells a tenth of a second. A pass over a table many times that size shows the
// wait cursor once it has run for a moment. The pass lets no events through, so nothing can
// change the table or close a window under it.
#pragma once

#include <QElapsedTimer>

#include <functional>

namespace pellumar {

class LongPass {
public:
    LongPass();
    ~LongPass();
    LongPass(const LongPass&) = delete;
    LongPass& operator=(const LongPass&) = delete;

    // Called often by the pass (every few thousand cells).
    void tick();
    std::function<void()> ticker() {
        return [this] { tick(); };
    }

private:
    QElapsedTimer started_;
    bool busy_ = false;
};

}  // namespace pellumar
