#include "platform/linux/linux_power_status.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace orvanta::platform::linux_backend {
namespace {

using Attributes = std::map<std::string, std::string>;
using Supplies = std::map<std::string, Attributes>;

// A stand-in for /sys/class/power_supply and /sys/class/rtc.
class FakeSysfs {
  public:
    explicit FakeSysfs(const Supplies& supplies = {}, bool rtc = false) {
        std::filesystem::create_directories(folder_.file("power_supply"));
        std::filesystem::create_directories(folder_.file("rtc"));
        if (rtc) addRtc("rtc0", true);
        for (const auto& [name, attributes] : supplies) {
            const std::string supply = folder_.file("power_supply/" + name);
            std::filesystem::create_directories(supply);
            for (const auto& [attribute, value] : attributes)
                test::WriteFileBytes(supply + "/" + attribute, value + "\n");
        }
    }
    void addRtc(const std::string& name, bool wakeAlarm) {
        std::filesystem::create_directories(folder_.file("rtc/" + name));
        if (wakeAlarm) test::WriteFileBytes(folder_.file("rtc/" + name + "/wakealarm"), "\n");
    }
    std::string rtcRoot() const { return folder_.file("rtc"); }
    LinuxPowerStatus status(bool alarmAllowed = true) const {
        return LinuxPowerStatus(
            {folder_.file("power_supply"), folder_.file("rtc"), [alarmAllowed] { return alarmAllowed; }});
    }

  private:
    test::TempFolder folder_;
};

const Attributes kMainsOn = {{"type", "Mains"}, {"online", "1"}};
const Attributes kMainsOff = {{"type", "Mains"}, {"online", "0"}};
Attributes battery(const std::string& status) {
    return {{"type", "Battery"}, {"status", status}};
}

TEST(LinuxPowerStatus, LineStatusFromThePowerSupplies) {
    struct Case {
        const char* what;
        Supplies supplies;
        AcLineStatus expected;
    };
    const std::vector<Case> cases = {
        {"mains on", {{"AC", kMainsOn}, {"BAT0", battery("Discharging")}}, AcLineStatus::Online},
        {"mains off", {{"AC", kMainsOff}, {"BAT0", battery("Charging")}}, AcLineStatus::Offline},
        {"USB-C charger",
         {{"AC", kMainsOff}, {"ucsi-source-psy-1", {{"type", "USB"}, {"online", "1"}}}},
         AcLineStatus::Online},
        {"mains state unreadable",
         {{"AC", {{"type", "Mains"}}}, {"BAT0", battery("Discharging")}},
         AcLineStatus::Offline},
        {"battery only, discharging", {{"BAT0", battery("Discharging")}}, AcLineStatus::Offline},
        {"battery only, charging", {{"BAT0", battery("Charging")}}, AcLineStatus::Online},
        {"battery only, full", {{"BAT0", battery("Full")}}, AcLineStatus::Online},
        {"battery only, held at a charge limit", {{"BAT0", battery("Not charging")}}, AcLineStatus::Online},
        {"battery only, state unknown", {{"BAT0", battery("Unknown")}}, AcLineStatus::Unknown},
        {"a wireless mouse's battery only",
         {{"hid-mouse-battery", {{"type", "Battery"}, {"scope", "Device"}, {"status", "Discharging"}}}},
         AcLineStatus::Unknown},
        {"no supply at all", {}, AcLineStatus::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FakeSysfs(c.supplies).status().acLineStatus(), c.expected) << c.what;

    const LinuxPowerStatus missingFolder(
        {"/nonexistent/power_supply", "/nonexistent/rtc", [] { return true; }});
    EXPECT_EQ(missingFolder.acLineStatus(), AcLineStatus::Unknown);
}

TEST(LinuxPowerStatus, WakingNeedsBothTheAlarmClockAndAnRtc) {
    EXPECT_TRUE(FakeSysfs({}, true).status(true).canWakeFromSleep());
    EXPECT_FALSE(FakeSysfs({}, true).status(false).canWakeFromSleep());
    EXPECT_FALSE(FakeSysfs({}, false).status(true).canWakeFromSleep());
}

TEST(LinuxPowerStatus, WakeAbilityTellsThePrivilegeApartFromTheClock) {
    const WakeAbility noPrivilege = FakeSysfs({}, true).status(false).wakeFromSleep();
    EXPECT_FALSE(noPrivilege.privilege);
    EXPECT_TRUE(noPrivilege.wakeClock);

    // An RTC without a wake alarm cannot wake anything; a later one that has one can.
    FakeSysfs second;
    second.addRtc("rtc0", false);
    EXPECT_FALSE(second.status(true).wakeFromSleep().wakeClock);
    second.addRtc("rtc1", true);
    const WakeAbility both = second.status(true).wakeFromSleep();
    EXPECT_TRUE(both.privilege);
    EXPECT_TRUE(both.wakeClock);
    EXPECT_EQ(FindRtcWakeAlarms(second.rtcRoot()),
              std::vector<std::string>{second.rtcRoot() + "/rtc1/wakealarm"});
    EXPECT_TRUE(FindRtcWakeAlarms("/nonexistent/rtc").empty());
}

TEST(LinuxPowerStatus, SleepStatesAreTheOnesLogindAllows) {
    struct Case {
        const char *suspend, *hibernate; // nullptr: no answer
        bool canSuspend, canHibernate;
    };
    const std::vector<Case> cases = {
        {"yes", "yes", true, true}, {"challenge", "no", true, false}, {"na", "challenge", false, true},
        {"no", "no", false, false}, {nullptr, nullptr, false, false}, {"maybe", "", false, false},
    };
    for (const Case& c : cases) {
        PowerStatusSources sources{"/nonexistent/power_supply", "/nonexistent/rtc", [] { return true; }};
        std::vector<std::string> asked;
        sources.askLogind = [&](const char* question) -> std::optional<std::string> {
            asked.emplace_back(question);
            const char* answer = std::string(question) == "CanSuspend" ? c.suspend : c.hibernate;
            if (!answer) return std::nullopt;
            return std::string(answer);
        };
        const SleepStates states = LinuxPowerStatus(sources).allowedSleepStates();
        EXPECT_EQ(states.suspend, c.canSuspend) << (c.suspend ? c.suspend : "none");
        EXPECT_EQ(states.hibernate, c.canHibernate) << (c.hibernate ? c.hibernate : "none");
        EXPECT_EQ(asked, (std::vector<std::string>{"CanSuspend", "CanHibernate"}));
    }
}

TEST(LinuxPowerStatus, HibernateIsPreferredOnlyByAComputerThatWakesAndHasNoSystemBattery) {
    EXPECT_TRUE(FakeSysfs({{"AC", kMainsOn}}, true).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}, {"BAT0", battery("Full")}}, true)
                     .status(true)
                     .prefersHibernateToSleep());
    Attributes mouse = battery("Discharging");
    mouse["scope"] = "Device";
    EXPECT_TRUE(
        FakeSysfs({{"AC", kMainsOn}, {"hid-mouse", mouse}}, true).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}}, false).status(true).prefersHibernateToSleep());
    EXPECT_FALSE(FakeSysfs({{"AC", kMainsOn}}, true).status(false).prefersHibernateToSleep());
}

} // namespace
} // namespace orvanta::platform::linux_backend
