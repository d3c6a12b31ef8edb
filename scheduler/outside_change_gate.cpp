#include "scheduler/outside_change_gate.h"

namespace orvanta::scheduler {

void OutsideChangeGate::Changed(std::int64_t now) {
    // Each change starts the quiet time again: a writer that takes several steps is read once, after the
    // last.
    pendingSince_ = now;
}

OutsideChangeGate::Step OutsideChangeGate::Check(std::int64_t now, bool held, const FileStamp& current) {
    if (!pendingSince_) return Step::kNothing;
    if (now - *pendingSince_ < quietMs_) return Step::kWait;
    if (taken_ && *taken_ == current) {
        pendingSince_.reset();
        return Step::kNothing;
    }
    // Held: the change stays waiting and is asked about again a quiet time later.
    if (held) {
        pendingSince_ = now;
        return Step::kWait;
    }
    pendingSince_.reset();
    return Step::kRebuild;
}

std::optional<std::int64_t> OutsideChangeGate::nextCheck() const {
    if (!pendingSince_) return std::nullopt;
    return *pendingSince_ + quietMs_;
}

} // namespace orvanta::scheduler
