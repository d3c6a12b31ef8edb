#include "platform/fake/fake_wake_timer.h"

namespace orvanta::platform::fake {
namespace {

class FakeWakeTimer : public WakeTimer {
  public:
    explicit FakeWakeTimer(std::shared_ptr<FakeWakeTimerControl> control) : control_(std::move(control)) {}
    ~FakeWakeTimer() override { control_->release(); }

    const std::string& name() const override { return control_->name(); }
    bool wakesSystem() const override { return control_->wakesSystem(); }
    void setOnFired(std::function<void()> onFired) override { control_->setOnFired(std::move(onFired)); }

    bool arm(const LocalDateTime& dueLocal) override {
        control_->record({FakeArming::Kind::At, dueLocal, std::chrono::milliseconds(0)});
        return true;
    }
    bool armAfter(std::chrono::milliseconds delay) override {
        control_->record({FakeArming::Kind::After, LocalDateTime{}, delay});
        return true;
    }
    void cancel() override {
        control_->record({FakeArming::Kind::Cancel, LocalDateTime{}, std::chrono::milliseconds(0)});
    }

  private:
    std::shared_ptr<FakeWakeTimerControl> control_;
};

} // namespace

std::vector<FakeArming> FakeWakeTimerControl::history() const {
    std::lock_guard lock(mutex_);
    return history_;
}

std::optional<FakeArming> FakeWakeTimerControl::armed() const {
    std::lock_guard lock(mutex_);
    return armed_;
}

bool FakeWakeTimerControl::alive() const {
    std::lock_guard lock(mutex_);
    return alive_;
}

bool FakeWakeTimerControl::fire() {
    std::function<void()> callback;
    {
        std::lock_guard lock(mutex_);
        if (!alive_ || !armed_) return false;
        armed_.reset();
        callback = onFired_;
    }
    if (callback) callback();
    return true;
}

void FakeWakeTimerControl::record(const FakeArming& request) {
    std::lock_guard lock(mutex_);
    history_.push_back(request);
    if (request.kind == FakeArming::Kind::Cancel)
        armed_.reset();
    else
        armed_ = request;
}

void FakeWakeTimerControl::setOnFired(std::function<void()> onFired) {
    std::lock_guard lock(mutex_);
    onFired_ = std::move(onFired);
}

void FakeWakeTimerControl::release() {
    std::lock_guard lock(mutex_);
    alive_ = false;
    armed_.reset();
    onFired_ = nullptr;
}

std::unique_ptr<WakeTimer> FakeWakeTimerFactory::create(const std::string& name, bool wakeSystem) {
    std::lock_guard lock(mutex_);
    if (refuseCreation_) return nullptr;
    auto control = std::make_shared<FakeWakeTimerControl>(name, wakeSystem && wakingAllowed_);
    latest_[name] = control;
    ++created_[name];
    return std::make_unique<FakeWakeTimer>(std::move(control));
}

void FakeWakeTimerFactory::setWakingAllowed(bool allowed) {
    std::lock_guard lock(mutex_);
    wakingAllowed_ = allowed;
}

void FakeWakeTimerFactory::setRefuseCreation(bool refuse) {
    std::lock_guard lock(mutex_);
    refuseCreation_ = refuse;
}

std::shared_ptr<FakeWakeTimerControl> FakeWakeTimerFactory::timer(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto found = latest_.find(name);
    return found == latest_.end() ? nullptr : found->second;
}

int FakeWakeTimerFactory::createdCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto found = created_.find(name);
    return found == created_.end() ? 0 : found->second;
}

} // namespace orvanta::platform::fake
