#include "data/settings/password.h"
#include "tests/ui/main_form_fixture.h"
#include "tests/ui/modal_answerer.h"

#include <QLabel>

namespace orvanta::test {
namespace {

namespace keys = data::settings_keys;

class SetPassword : public MainFormTest {
  protected:
    void SetUp() override { Start(); }
    std::string Stored() const { return settings.readText("Option", "pword", "<none>"); }
};

TEST_F(SetPassword, AFirstPasswordIsAskedTwiceAndConfirmed) {
    ModalAnswerer answers;
    answers.SetPassword("", "Abc", "Abc").Answer(1);
    form->OpenSetPassword();
    EXPECT_FALSE(answers.oldRowShown);
    EXPECT_EQ(answers.questions, QStringList{"Confirm change this password?"});
    EXPECT_EQ(answers.buttonCaptions.value(0), (QStringList{"OK", "Cancel"}));
    EXPECT_EQ(Stored(), data::EncodePassword("Abc"));
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(SetPassword, DifferingEntriesAreRefusedAndTheDialogStays) {
    ModalAnswerer answers;
    answers.SetPassword("", "abc", "abC").Answer(1).SetPassword("", "abc", "abc").Answer(2);
    form->OpenSetPassword();
    EXPECT_EQ(answers.questions,
              (QStringList{"The two passwords are inconsistent!", "Confirm change this password?"}));
    EXPECT_EQ(answers.buttonCaptions.value(0), QStringList{"OK"});
    EXPECT_EQ(answers.setPasswordDialogs, 2) << "the same dialog, still open after the refusal";
    EXPECT_EQ(Stored(), "<none>") << "Cancel on the confirmation writes nothing";
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(SetPassword, NothingEnteredWithoutAStoredPasswordClosesSilently) {
    const std::string before = ReadFileBytes(settings.filePath());
    ModalAnswerer answers;
    answers.SetPassword("", "", "");
    form->OpenSetPassword();
    EXPECT_EQ(answers.setPasswordDialogs, 1);
    EXPECT_TRUE(answers.questions.isEmpty());
    EXPECT_EQ(ReadFileBytes(settings.filePath()), before);
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(SetPassword, AStoredPasswordMustBeGivenBeforeItChangesOrGoes) {
    settings.write(keys::kEncodedPassword, data::EncodePassword("abc"));
    ModalAnswerer answers;
    // A wrong old password (letter case counts), then the right one with an empty new one.
    answers.SetPassword("ABC", "new", "new").Answer(1).SetPassword("abc", "", "").Answer(1);
    form->OpenSetPassword();
    EXPECT_TRUE(answers.oldRowShown);
    EXPECT_EQ(answers.questions,
              (QStringList{"The old password is wrong!", "Confirm change this password?"}));
    EXPECT_EQ(Stored(), "") << "removed";
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(SetPassword, TheOldPasswordRowComesFirstOnlyWhenOneIsStored) {
    ui::TSetPWForm without(
        *languages, settings, errors, [](const QString&, const QStringList&) { return 0; }, form.get());
    settings.write(keys::kEncodedPassword, data::EncodePassword("abc"));
    ui::TSetPWForm with(
        *languages, settings, errors, [](const QString&, const QStringList&) { return 0; }, form.get());
    for (ui::TSetPWForm* dialog : {&without, &with}) {
        dialog->show();
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(without.Edit1->isVisible());
    EXPECT_TRUE(with.Edit1->isVisible());
    EXPECT_LT(with.Edit1->y(), with.Edit2->y());
    EXPECT_GT(with.height(), without.height());
    EXPECT_EQ(with.Edit2->y() - with.Edit1->y(), with.Edit3->y() - with.Edit2->y()) << "one row down";
    EXPECT_EQ(with.Edit2->echoMode(), QLineEdit::Password);
}

} // namespace
} // namespace orvanta::test
