#include "data/settings/ini_document.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace orvanta::ini {
namespace {

struct ReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

TEST(IniDocumentRead, FollowsProfileStringRules) {
    const ReadCase cases[] = {
        {"plain", "[A]\nk=v\n", "A", "k", "v"},
        {"blanks around value dropped", "[A]\nk =  v w \t\n", "A", "k", "v w"},
        {"double quotes removed", "[A]\nk=\" v \"\n", "A", "k", " v "},
        {"single quotes removed", "[A]\nk='v'\n", "A", "k", "v"},
        {"only one pair removed", "[A]\nk=\"\"v\"\"\n", "A", "k", "\"v\""},
        {"mismatched quotes kept", "[A]\nk=\"v'\n", "A", "k", "\"v'"},
        {"lone quote kept", "[A]\nk=\"\n", "A", "k", "\""},
        {"empty value present", "[A]\nk=\n", "A", "k", ""},
        {"section name any case", "[option]\nk=v\n", "OPTION", "k", "v"},
        {"key name any case", "[A]\nHideDays=7\n", "A", "hidedays", "7"},
        {"blanks around names", "  [ A ]  \n  k  = v\n", "A", "k", "v"},
        {"CRLF lines", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"no final line ending", "[A]\nk=v", "A", "k", "v"},
        {"first key wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        {"first section wins", "[A]\nx=1\n[A]\nk=2\n", "A", "k", std::nullopt},
        {"key in other section", "[A]\nk=1\n[B]\nj=2\n", "B", "k", std::nullopt},
        {"key before any section", "k=1\n[A]\n", "A", "k", std::nullopt},
        {"commented key", "[A]\n;k=1\n", "A", "k", std::nullopt},
        {"line without equals", "[A]\nk\n", "A", "k", std::nullopt},
        {"missing section", "[A]\nk=1\n", "B", "k", std::nullopt},
        {"equals inside value", "[A]\nk=a=b\n", "A", "k", "a=b"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        {"empty text", "", "A", "k", std::nullopt},
    };
    for (const ReadCase& c : cases)
        EXPECT_EQ(IniDocument(c.content).value(c.section, c.key), c.expected) << c.name;
}

TEST(IniDocumentRead, CutsValuesAfterTheLimit) {
    std::string longValue(kMaxValueLength + 10, 'x');
    longValue[kMaxValueLength - 1] = 'y';
    std::optional<std::string> read = IniDocument("[A]\nk=" + longValue + "\n").value("A", "k");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, longValue.substr(0, kMaxValueLength));

    std::string exact(kMaxValueLength, 'z');
    EXPECT_EQ(IniDocument("[A]\nk=" + exact).value("A", "k"), exact);
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniDocumentWrite, ChangesOnlyWhatItMust) {
    const WriteCase cases[] = {
        {"replace in place keeps spelling and blanks", "; head\n[Opt]\nA=1\n  Key = old value\nB=2\n", "opt",
         "KEY", "new", "; head\n[Opt]\nA=1\n  Key = new\nB=2\n"},
        {"replace first occurrence only", "[A]\nk=1\nk=2\n", "A", "k", "9", "[A]\nk=9\nk=2\n"},
        {"append to section before blank separator", "[A]\nx=1\n; note\n\n[B]\ny=2\n", "A", "k", "v",
         "[A]\nx=1\n; note\nk=v\n\n[B]\ny=2\n"},
        {"append to empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"append to last section without final ending", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v\n"},
        {"new section at the end", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section after blank line", "[A]\n\n", "B", "k", "v", "[A]\n\n[B]\nk=v\n"},
        {"new section into empty text", "", "B", "k", "v", "[B]\nk=v\n"},
        {"CRLF style followed", "[A]\r\nx=1\r\n", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n"},
        {"mixed endings kept per line", "[A]\r\nx=1\ny=2\r\n", "A", "x", "5", "[A]\r\nx=5\ny=2\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\nx=1\n", "A", "x", "2", "\xEF\xBB\xBF[A]\nx=2\n"},
        {"key before any section untouched", "k=1\n[A]\n", "A", "k", "2", "k=1\n[A]\nk=2\n"},
    };
    for (const WriteCase& c : cases) {
        IniDocument document(c.before);
        ASSERT_TRUE(document.setValue(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(document.text(), c.after) << c.name;
        EXPECT_EQ(document.value(c.section, c.key), c.value) << c.name;
    }
}

TEST(IniDocumentWrite, RefusesWhatCannotBeReadBack) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } refused[] = {
        {"", "k", "v"},    {"A]", "k", "v"},   {" A", "k", "v"},   {"A", "", "v"},
        {"A", "k=", "v"},  {"A", ";k", "v"},   {"A", "[k", "v"},   {"A", "k ", "v"},
        {"A\n", "k", "v"}, {"A", "k", "v\nw"}, {"A", "k", "v\rw"},
    };
    for (const auto& r : refused) {
        IniDocument document("[A]\nk=1\n");
        EXPECT_FALSE(document.setValue(r.section, r.key, r.value))
            << r.section << "/" << r.key << "/" << r.value;
        EXPECT_EQ(document.text(), "[A]\nk=1\n");
    }
}

TEST(IniDocumentWrite, EveryValueReadsBackAsWritten) {
    // What reading would trim or unwrap is written inside one more pair of quotes.
    const struct {
        const char* value;
        const char* line;
    } cases[] = {
        {"plain", "k=plain"},     {" lead", "k=\" lead\""}, {"trail ", "k=\"trail \""},
        {"\"q\"", "k=\"\"q\"\""}, {"'q'", "k=\"'q'\""},     {"\"q'", "k=\"q'"},
        {"\"", "k=\""},           {"\tx", "k=\"\tx\""},     {"", "k="},
    };
    for (const auto& c : cases) {
        IniDocument document("[A]\nk=old\n");
        ASSERT_TRUE(document.setValue("A", "k", c.value)) << c.value;
        EXPECT_EQ(document.text(), "[A]\n" + std::string(c.line) + "\n") << c.value;
        EXPECT_EQ(document.value("A", "k"), c.value) << c.value;
        IniDocument fresh("");
        ASSERT_TRUE(fresh.setValue("A", "k", c.value));
        EXPECT_EQ(fresh.value("A", "k"), c.value) << c.value;
    }
    // Every printable text of up to three characters, which covers each way a value can begin and end.
    int wrong = 0;
    IniDocument document("[A]\n");
    for (int a = ' '; a <= '~'; ++a)
        for (int b = ' ' - 1; b <= '~'; ++b)
            for (int c = ' ' - 1; c <= '~'; ++c) {
                std::string value{static_cast<char>(a)};
                if (b >= ' ') value += static_cast<char>(b);
                if (b >= ' ' && c >= ' ') value += static_cast<char>(c);
                ASSERT_TRUE(document.setValue("A", "k", value));
                if (document.value("A", "k") != value && ++wrong < 5) ADD_FAILURE() << "[" << value << "]";
            }
    EXPECT_EQ(wrong, 0);
}

TEST(IniDocumentRemove, RemovesOnlyTheKeyLine) {
    IniDocument document("[A]\r\nx=1\r\nk=2\r\n[B]\r\nk=3\r\n");
    EXPECT_TRUE(document.removeKey("a", "K"));
    EXPECT_EQ(document.text(), "[A]\r\nx=1\r\n[B]\r\nk=3\r\n");
    EXPECT_FALSE(document.removeKey("A", "k"));
    EXPECT_FALSE(document.removeKey("C", "k"));
}

} // namespace
} // namespace orvanta::ini
