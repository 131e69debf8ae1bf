#pragma once

namespace sonivera {

// Receives the progress positions of a calculation, in order, on the thread that started it.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetPosition(int position) = 0;
};

} // namespace sonivera
