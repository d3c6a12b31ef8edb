#include "platform/fake/fake_session_power.h"

namespace orvanta::platform::fake {

RequestResult FakeSessionPower::record(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    return result_;
}

PrivilegeResult FakeSessionPower::enableShutdownPrivilege() {
    std::lock_guard lock(mutex_);
    calls_.push_back("enableShutdownPrivilege");
    return privilege_;
}

RequestResult FakeSessionPower::powerOff(bool force) {
    return record(force ? "powerOff force" : "powerOff");
}

RequestResult FakeSessionPower::reboot(bool force) {
    return record(force ? "reboot force" : "reboot");
}

RequestResult FakeSessionPower::logOffPolitely() {
    return record("logOffPolitely");
}

RequestResult FakeSessionPower::terminateSession() {
    return record("terminateSession");
}

RequestResult FakeSessionPower::suspend() {
    return record("suspend");
}

RequestResult FakeSessionPower::hibernate() {
    return record("hibernate");
}

RequestResult FakeSessionPower::lockSession() {
    return record("lockSession");
}

RequestResult FakeSessionPower::turnMonitorOff() {
    return record("turnMonitorOff");
}

std::vector<std::string> FakeSessionPower::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeSessionPower::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void FakeSessionPower::setResult(RequestResult result) {
    std::lock_guard lock(mutex_);
    result_ = result;
}

void FakeSessionPower::setPrivilege(PrivilegeResult privilege) {
    std::lock_guard lock(mutex_);
    privilege_ = std::move(privilege);
}

} // namespace orvanta::platform::fake
