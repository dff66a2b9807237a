#include "domain/comm/FrameCodec.h"
#include "support/CaseName.h"
#include "support/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tess::comm {
namespace {

TEST(FrameChecksum, SumsCharacterCodesModulo256)
{
    // r000005100A: 617, and 617 mod 256 = 0x69.
    EXPECT_EQ(frameChecksum("r000005100A"), 0x69);
    EXPECT_EQ(frameChecksum(""), 0);
}

struct RequestCase {
    const char* name;
    FrameRequest request;
    const char* chars; // between ENQ BLK and CR LF
};

class RequestFrame : public ::testing::TestWithParam<RequestCase> { };

TEST_P(RequestFrame, IsEnqBlkCommandDigitsChecksumCrLf)
{
    const std::string expected = std::string("\x05\x20") + GetParam().chars + "\r\n";
    EXPECT_EQ(buildRequestFrame(GetParam().request), expected);
}

INSTANTIATE_TEST_SUITE_P(Requests, RequestFrame,
    ::testing::Values(RequestCase {"IdentityRead", FrameRequest::read(0x510, 10), "r000005100A69"},
        RequestCase {"WriteOf150ToWord0", FrameRequest::write(0x200000, 0x0096), "w002000000096C8"},
        RequestCase {"MinusOneToWord5", FrameRequest::write(0x20000A, 0xFFFF), "w0020000AFFFF22"},
        RequestCase {"LastImageChunk", FrameRequest::read(0x200488, 170), "r00200488AA8A"}),
    test::CaseName {});

TEST(RequestFrame, ReadIs17AndWrite19Characters)
{
    EXPECT_EQ(buildRequestFrame(FrameRequest::read(0xFFFFFFFF, 255)).size(), 17u);
    EXPECT_EQ(buildRequestFrame(FrameRequest::write(0xFFFFFFFF, 0xFFFF)).size(), 19u);
}

// A correct data reply of two bytes, with the characters of one position
// replaced.
std::string dataReplyWith(std::size_t position, std::string chars)
{
    std::string text = test::dataReplyText(0x200000, {0x12, 0xAB});
    text.replace(position, chars.size(), chars);
    return text;
}

// The text with a correct checksum (from position 2) and CR LF.
std::string withSum(std::string text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    const std::uint8_t sum = frameChecksum(std::string_view(text).substr(2));
    return text + digits[sum >> 4] + digits[sum & 0x0F] + "\r\n";
}

struct ReplyCase {
    const char* name;
    std::string text;
    ReplyKind kind;
    ReplyFault fault;
    char nakCode;
    std::vector<std::uint8_t> data;
};

class ParseReply : public ::testing::TestWithParam<ReplyCase> { };

TEST_P(ParseReply, ClassifiesChecksAndDecodes)
{
    const Reply reply = parseReply(GetParam().text);
    EXPECT_EQ(reply.kind, GetParam().kind);
    EXPECT_EQ(reply.fault, GetParam().fault);
    EXPECT_EQ(reply.nakCode, GetParam().nakCode);
    EXPECT_EQ(reply.data, GetParam().data);
}

// dataReplyText(0x200000, {0x12, 0xAB}): 13 header characters, "12AB", the
// checksum "3C" at 17 and 18, CR LF.
INSTANTIATE_TEST_SUITE_P(Replies, ParseReply,
    ::testing::Values(ReplyCase {"DataDecodesDigitPairs", test::dataReplyText(0x200000, {0x12, 0xAB, 0x00}),
                          ReplyKind::Data, ReplyFault::None, 0, {0x12, 0xAB, 0x00}},
        ReplyCase {"DataWithoutBytes", test::dataReplyText(0x510, {}), ReplyKind::Data, ReplyFault::None, 0, {}},
        ReplyCase {"Acknowledge", test::ackReplyText(), ReplyKind::Ack, ReplyFault::None, 0, {}},
        ReplyCase {"NakCarriesCode", test::nakReplyText('E'), ReplyKind::Nak, ReplyFault::None, 'E', {}},
        ReplyCase {"NakEndingBeforeCode", "\x15 ", ReplyKind::Nak, ReplyFault::None, 0, {}},
        ReplyCase {"OtherFirstCharacter", "X r00\r\n", ReplyKind::Invalid, ReplyFault::None, 0, {}},
        ReplyCase {"Nothing", "", ReplyKind::Invalid, ReplyFault::None, 0, {}},
        ReplyCase {
            "HighDigitWrongLowNotCompared", dataReplyWith(17, "00"), ReplyKind::Data, ReplyFault::SumHigh, 0, {}},
        ReplyCase {"LowDigitWrong", dataReplyWith(18, "0"), ReplyKind::Data, ReplyFault::SumLow, 0, {}},
        ReplyCase {"AcknowledgeTooShort", "\x06\r\n", ReplyKind::Ack, ReplyFault::SumHigh, 0, {}},
        ReplyCase {"DataTooShortForHeader", withSum("\x02 r01"), ReplyKind::Data, ReplyFault::BadData, 0, {}},
        ReplyCase {"OddDataDigits", withSum("\x02 r0000051001123"), ReplyKind::Data, ReplyFault::BadData, 0, {}},
        ReplyCase {"NonHexDigits", withSum("\x02 r0000051001G1"), ReplyKind::Data, ReplyFault::BadData, 0, {}}),
    test::CaseName {});

struct NakCase {
    const char* name;
    char code;
    const char* english;
    const char* japanese;
};

class NakMessage : public ::testing::TestWithParam<NakCase> { };

TEST_P(NakMessage, NamesTheCodeInBothLanguages)
{
    const TextId id = nakMessage(GetParam().code);
    EXPECT_EQ(text(id, Language::English), GetParam().english);
    EXPECT_EQ(text(id, Language::Japanese), GetParam().japanese);
}

INSTANTIATE_TEST_SUITE_P(Codes, NakMessage,
    ::testing::Values(NakCase {"UpperLimit", 'E', "Upper limit error", "設定ﾃﾞｰﾀが上限範囲を超えた"},
        NakCase {"LowerLimit", 'e', "Lower limit error", "設定ﾃﾞｰﾀが下限範囲を超えた"},
        NakCase {"UndefinedCommandRx0", 'D', "Undefined command error(RX0INT)", "未定義のｺﾏﾝﾄﾞを受信(RX0INT)"},
        NakCase {"UndefinedCommand", 'd', "Undefined command", "未定義のｺﾏﾝﾄﾞを受信"},
        NakCase {"WriteProtectInRunning", 'W', "Write protect in running error", "運転中書き込み禁止項目を変更"},
        NakCase {"WriteProtect", 'w', "Write protect error", "ﾗｲﾄﾌﾟﾛﾃｸﾄ時に設定ﾃﾞｰﾀを変更"},
        NakCase {"NotEnq", 'z', "Not ENQ error(RX0INT)", "先頭文字がENQでない(RX0INT)"},
        NakCase {"UnknownCode", 'a', "QMN71 error", "本体側のｴﾗｰ"},
        NakCase {"NoCode", '\0', "QMN71 error", "本体側のｴﾗｰ"}),
    test::CaseName {});

} // namespace
} // namespace tess::comm
