#include "platform/fake/fake_single_instance.h"

namespace orvanta::platform::fake {

bool FakeSingleInstance::claim() {
    ++claims_;
    return !anotherCopyRuns_ && failure_.empty();
}

} // namespace orvanta::platform::fake
