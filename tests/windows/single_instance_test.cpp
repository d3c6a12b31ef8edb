#include "platform/windows/windows_single_instance.h"
#include "tests/windows/probe.h"

#include <gtest/gtest.h>
#include <memory>

namespace wb = orvanta::platform::windows_backend;

namespace {
std::string UniqueName() {
    return "OrvantaInstanceTest" + std::to_string(GetCurrentProcessId());
}
} // namespace

TEST(WindowsSingleInstance, TheFirstClaimHoldsAgainstASecondProcessUntilReleased) {
    const std::string name = UniqueName();
    ASSERT_EQ(orvanta::test::RunProbe("claim " + name), 0) << "nobody holds the name yet";

    auto first = std::make_unique<wb::WindowsSingleInstance>(name);
    ASSERT_TRUE(first->claim());
    EXPECT_TRUE(first->claim()) << "asking again after a success stays true";
    EXPECT_EQ(orvanta::test::RunProbe("claim " + name), 1);

    wb::WindowsSingleInstance second(name);
    EXPECT_FALSE(second.claim()) << "a second claimant in the same process is refused too";

    first.reset();
    EXPECT_EQ(orvanta::test::RunProbe("claim " + name), 0) << "the claim ends with its holder";
}

TEST(WindowsSingleInstance, TheHandOverAddressIsTheInstanceName) {
    EXPECT_EQ(wb::WindowsSingleInstance().handOverAddress(), "TalvenorScheduler");
}

TEST(WindowsSingleInstance, TheQuitMessageIsARegisteredMessage) {
    const unsigned id = wb::QuitMessageId();
    // Registered messages live in 0xC000..0xFFFF and the same name gives the same id.
    EXPECT_GE(id, 0xC000u);
    EXPECT_LE(id, 0xFFFFu);
    EXPECT_EQ(wb::QuitMessageId(), id);
}
