#include "data/dos_date_time.h"
#include "data/error.h"
#include "data/hex_codec.h"

#include <gtest/gtest.h>

namespace orvanta::data {
namespace {

TEST(HexCodec, EncodesEveryByteAsTwoUpperCaseDigits) {
    EXPECT_EQ(HexEncode("Lock session"), "4C6F636B2073657373696F6E");
    EXPECT_EQ(HexEncode(""), "");
    EXPECT_EQ(HexEncode(std::string("\x00\xff\x7f", 3)), "00FF7F");
    EXPECT_EQ(HexEncode("\xc3\xa4"), "C3A4"); // UTF-8 bytes pass unchanged
}

TEST(HexCodec, DecodeRules) {
    struct Case {
        const char* hex;
        std::string decoded;
    } cases[] = {
        {"4C6F636B2073657373696F6E", "Lock session"},
        {"41  42", "A"}, // a blank pair ends the text
        {"414", "A"},    // the odd last digit is ignored
        {"4", ""},
        {"", ""},
        {"4a6b", "Jk"},     // lower-case digits read too
        {"41 A42", "A\nB"}, // a pair with one blank reads as its single digit
    };
    for (const auto& c : cases)
        EXPECT_EQ(HexDecode(c.hex), c.decoded) << c.hex;
}

TEST(HexCodec, NonHexPairRaisesTheIntegerConversionMessage) {
    try {
        HexDecode("411G42");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'$1G' is not a valid integer value");
    }
    EXPECT_THROW(HexDecode("ZZ"), Error);
}

TEST(HexCodec, DecodingIntoAStringAppends) {
    std::string out = "ab";
    HexDecode("4142", out);
    EXPECT_EQ(out, "abAB");
    HexDecode("43  44", out); // a blank pair still ends the text
    EXPECT_EQ(out, "abABC");

    // Long texts, with the rules still holding hundreds of bytes in.
    const std::string longText(700, 'x');
    out.clear();
    HexDecode(HexEncode(longText), out);
    EXPECT_EQ(out, longText);
    EXPECT_EQ(HexDecode(HexEncode(longText) + "  41"), longText);
    EXPECT_EQ(HexDecode(HexEncode(longText) + " 9"), longText + "\t");
}

TEST(HexCodec, ATextThatDoesNotDecodeLeavesTheStringAsItWas) {
    struct Case {
        std::string hex;
        const char* message;
    } cases[] = {
        {"41G1", "'$G1' is not a valid integer value"},
        // The bad pair comes after a first part of the text has been decoded and added.
        {HexEncode(std::string(600, 'y')) + "ZZ", "'$ZZ' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        std::string out = "kept";
        try {
            HexDecode(c.hex, out);
            ADD_FAILURE() << "no error for " << c.hex.size() << " hex digits";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(out, "kept");
    }
}

TEST(HexCodec, RoundTripsEveryByteValue) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    // A blank pair can only arise from two blanks in the hex text, never from encoded bytes.
    EXPECT_EQ(HexDecode(HexEncode(all)), all);
}

TEST(DosDateTime, PacksFieldsInTwoSecondSteps) {
    // 2021-01-19 20:22:10: date 0x5233, time 0xA2C5.
    EXPECT_EQ(DosDateTime({2021, 1, 19, 20, 22, 10, 0}), static_cast<std::int32_t>(0x5233A2C5));
    EXPECT_EQ(DosDateTime({2021, 1, 19, 20, 22, 11, 999}), DosDateTime({2021, 1, 19, 20, 22, 10, 0}));
    // From 2044 the top bit is set and the stored number turns negative.
    EXPECT_LT(DosDateTime({2044, 1, 1, 0, 0, 0, 0}), 0);
    EXPECT_GT(DosDateTime({2043, 12, 31, 23, 59, 58, 0}), 0);
}

} // namespace
} // namespace orvanta::data
