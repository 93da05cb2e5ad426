#pragma once

#include <chrono>
#include <random>

namespace tavik::test {

// The span a kill's moment is drawn from: at first up to 1.2 times the
// tool's usual run (so that some runs end by themselves); widened when ten
// kills in a row all fell before the files were replaced (the machine is
// busier than when the usual run was timed) and narrowed when ten all fell
// after, so that kills land on both sides however loaded the machine is.
class KillWindow {
public:
    explicit KillWindow(std::chrono::steady_clock::duration usual)
        : span_(std::chrono::duration_cast<std::chrono::microseconds>(usual * 12 / 10))
    {
    }
    std::chrono::microseconds next(std::mt19937& random) const { return span_ * (random() % 1000) / 1000; }
    void record(bool replaced)
    {
        replacedInRound_ += replaced;
        if (++round_ < 10)
            return;
        if (replacedInRound_ == 0)
            span_ = span_ * 3 / 2;
        else if (replacedInRound_ == round_)
            span_ = span_ * 2 / 3;
        round_ = replacedInRound_ = 0;
    }

private:
    std::chrono::microseconds span_;
    int round_ = 0;
    int replacedInRound_ = 0;
};

} // namespace tavik::test
