#include "platform/fake/fake_synthetic_input.h"

namespace orvanta::platform::fake {

namespace {
const char* NameOf(MouseButton button) {
    switch (button) {
    case MouseButton::Left:
        return "left";
    case MouseButton::Right:
        return "right";
    case MouseButton::Middle:
        return "middle";
    }
    return "?";
}
} // namespace

void FakeSyntheticInput::Record(std::string event) {
    const std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
}

void FakeSyntheticInput::keyDown(unsigned virtualKey) {
    Record("key down " + std::to_string(virtualKey));
}
void FakeSyntheticInput::keyUp(unsigned virtualKey) {
    Record("key up " + std::to_string(virtualKey));
}
void FakeSyntheticInput::mouseMoveBy(int dx, int dy) {
    Record("move by " + std::to_string(dx) + " " + std::to_string(dy));
}
void FakeSyntheticInput::buttonDown(MouseButton button) {
    Record(std::string("button down ") + NameOf(button));
}
void FakeSyntheticInput::buttonUp(MouseButton button) {
    Record(std::string("button up ") + NameOf(button));
}
void FakeSyntheticInput::wheel(int delta) {
    Record("wheel " + std::to_string(delta));
}

void FakeSyntheticInput::setCursorPos(int x, int y) {
    Record("cursor " + std::to_string(x) + " " + std::to_string(y));
    const std::lock_guard lock(mutex_);
    cursor_ = {x, y};
}

std::optional<CursorPoint> FakeSyntheticInput::cursorPos() {
    const std::lock_guard lock(mutex_);
    return cursor_;
}

std::vector<std::string> FakeSyntheticInput::events() const {
    const std::lock_guard lock(mutex_);
    return events_;
}

} // namespace orvanta::platform::fake
