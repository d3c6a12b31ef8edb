#include "data/settings/password.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/modal_answerer.h"

#include <filesystem>
#include <random>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;

// A password the user set must open the prompt again, whatever its characters: the encoded form goes
// through the settings file and comes back through the prompt's own check.
class PasswordRoundTrip : public MainFormTest {
  protected:
    void SetUp() override {
        Start();
        prompt = std::make_unique<ui::TLockForm>(*languages, stored, cancelled);
    }

    // Stores the password as the set-password dialog does and enters it as the user would. A refusal
    // opens the wrong-password notice, which the answerer closes and counts.
    void Try(const std::string& password) {
        stored.write(keys::kEncodedPassword, data::EncodePassword(password));
        cancelled = true;
        prompt->Edit1->setText(QString::fromStdString(password));
        prompt->Edit1EnterPressed();
        if (cancelled && refused.size() < 10) refused.push_back(password);
        ++tried;
    }

    // Thousands of synced writes: kept in memory where the system has such a folder.
    TempFolder fast{std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                              : std::filesystem::temp_directory_path()};
    data::Settings stored{fast.file("wake.ini")};
    bool cancelled = true;
    std::unique_ptr<ui::TLockForm> prompt;
    ModalAnswerer notices; // closes any notice a refusal opens, so a fault fails instead of hanging
    std::vector<std::string> refused;
    long tried = 0;
};

constexpr char kFirstPrintable = ' ';
constexpr char kLastPrintable = '~';

// Every three-character one goes through the writer and reader in the settings tests; here the prompt
// itself checks every shorter one.
TEST_F(PasswordRoundTrip, EveryPrintablePasswordOfUpToTwoCharactersOpensThePrompt) {
    for (char a = kFirstPrintable; a <= kLastPrintable && refused.size() < 10; ++a) {
        Try(std::string{a});
        for (char b = kFirstPrintable; b <= kLastPrintable && refused.size() < 10; ++b)
            Try(std::string{a, b});
    }
    EXPECT_EQ(refused, std::vector<std::string>{});
    EXPECT_EQ(tried, 95 + 95 * 95);
}

TEST_F(PasswordRoundTrip, RandomLongerPasswordsAndKnownTroubleOnesOpenThePrompt) {
    // Ones that once locked users out: their encoded form ends in a blank or sits between quotes.
    for (const char* known : {"Qwerty!", "orvanta!", "summer%", " lead", "trail ", "\"both\"", "'one'"})
        Try(known);
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> length(4, 40);
    std::uniform_int_distribution<int> character(kFirstPrintable, kLastPrintable);
    for (int i = 0; i < 10000 && refused.size() < 10; ++i) {
        std::string p(static_cast<std::size_t>(length(random)), ' ');
        for (char& c : p)
            c = static_cast<char>(character(random));
        Try(p);
    }
    EXPECT_EQ(refused, std::vector<std::string>{});
    EXPECT_EQ(notices.unexpected, 0);
}

} // namespace
} // namespace orvanta::test
