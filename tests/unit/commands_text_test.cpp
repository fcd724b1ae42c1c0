// The text commands, called through the core library's command table. A
// case with a refusal is a call the table refuses (commands_test_support.h).
// Texts with "\xB0" hold a two-byte character: 0xB0 is a lead byte, and
// "\xB0\x41" is a character whose trail byte is the letter 'A'.
#include "commands/text_commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "commands_test_support.h"

namespace {

using namespace commands_test;
using core::CoreCommand;

struct IntegerCase {
  const char* name;
  std::vector<rt::ArgRecord> arguments;
  int32_t expected;
  const char* refusal = nullptr;
};

void ExpectIntegers(CoreCommand command, const std::vector<IntegerCase>& cases) {
  for (const IntegerCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(int32_t(CallOrRefuse(command, c.arguments, c.refusal).low), c.expected);
  }
}

TEST(FindText, Table) {
  const rt::ArgRecord yes = rt::MakeBool(true), no = rt::MakeBool(false);
  ExpectIntegers(core::CMD_FIND_TEXT, {
      {"from the start", {Text("abcabc"), Text("bc"), kOmitted, no}, 2},
      {"from position 3", {Text("abcabc"), Text("bc"), rt::MakeInt(3), no}, 5},
      {"from the position of a match", {Text("abcabc"), Text("bc"), rt::MakeInt(5), no}, 5},
      {"from position 0", {Text("abcabc"), Text("bc"), rt::MakeInt(0), no}, 2},
      {"from a negative position", {Text("abcabc"), Text("bc"), rt::MakeInt(-7), no}, 2},
      {"from the lowest integer", {Text("abcabc"), Text("bc"), rt::MakeInt(INT_MIN), no}, 2},
      {"from the last byte", {Text("abc"), Text("c"), rt::MakeInt(3), no}, 3},
      {"from just past the end", {Text("abc"), Text("c"), rt::MakeInt(4), no}, -1},
      {"from the highest integer", {Text("abc"), Text("c"), rt::MakeInt(INT_MAX), no}, -1},
      {"without case", {Text("ABC"), Text("b"), kOmitted, yes}, 2},
      {"with case", {Text("ABC"), Text("b"), kOmitted, no}, -1},
      {"longer than the text", {Text("ab"), Text("abc"), kOmitted, no}, -1},
      {"empty in a text", {Text("abc"), Text(""), kOmitted, no}, 1},
      {"empty in the empty text", {Text(""), Text(""), kOmitted, no}, -1},
      {"empty past the end", {Text("abc"), Text(""), rt::MakeInt(4), no}, -1},
      {"null text", {Text(nullptr), Text("a"), kOmitted, no}, -1},
      {"null text to find", {Text("abc"), Text(nullptr), kOmitted, no}, 1},
      {"not on a trail byte", {Text("\xB0\x41"), Text("A"), kOmitted, no}, -1},
      {"the letter after the character", {Text("\xB0\x41" "A"), Text("A"), kOmitted, no}, 3},
      {"trail bytes do not fold", {Text("\xB0\x41"), Text("\xB0\x61"), kOmitted, yes}, -1},
      {"a whole character", {Text("x\xB0\x41"), Text("\xB0\x41"), kOmitted, yes}, 2},
      {"start inside a character", {Text("\xB0\x41" "A"), Text("A"), rt::MakeInt(2), no}, 3},
      {"start inside a character before a match", {Text("\xD6\xD0" "a"), Text("a"), rt::MakeInt(2), no}, 3},
      {"a lead byte before the end", {Text("a\xB0"), Text("\xB0"), kOmitted, no}, 2},
      {"past a lead byte before the end", {Text("\xB0"), Text("a"), kOmitted, no}, -1},
      {"a text argument of another type", {rt::MakeInt(65), Text("A"), kOmitted, no}, -1, "FindText 1"},
      {"two records: no start, with case", {Text("aBcb"), Text("b")}, 4, "FindText 4"},
      {"one record: nothing to find", {Text("abc")}, 1, "FindText 2"},
      {"no records", {}, -1, "FindText 1"},
  });
}

TEST(FindTextFromEnd, Table) {
  const rt::ArgRecord yes = rt::MakeBool(true), no = rt::MakeBool(false);
  ExpectIntegers(core::CMD_FIND_TEXT_FROM_END, {
      {"the last match", {Text("a.b.mp3"), Text("."), kOmitted, no}, 4},
      {"within the first 2 bytes", {Text("a.b.mp3"), Text("."), rt::MakeInt(3), no}, 2},
      {"a match must lie wholly within", {Text("abcabc"), Text("bc"), rt::MakeInt(6), no}, 2},
      {"a match at the window's end", {Text("abcabc"), Text("bc"), rt::MakeInt(7), no}, 5},
      {"from past the end", {Text("abcabc"), Text("bc"), rt::MakeInt(100), no}, 5},
      {"from position 1", {Text("abcabc"), Text("a"), rt::MakeInt(1), no}, -1},
      {"from position 0", {Text("abcabc"), Text("a"), rt::MakeInt(0), no}, -1},
      {"from a negative position", {Text("abcabc"), Text("a"), rt::MakeInt(-1), no}, -1},
      {"from the lowest integer", {Text("abcabc"), Text("a"), rt::MakeInt(INT_MIN), no}, -1},
      {"without case", {Text("ABCabc"), Text("B"), kOmitted, yes}, 5},
      {"with case", {Text("ABCabc"), Text("B"), kOmitted, no}, 2},
      {"empty in a text", {Text("abc"), Text(""), kOmitted, no}, 1},
      {"empty in an empty window", {Text("abc"), Text(""), rt::MakeInt(1), no}, -1},
      {"null text", {Text(nullptr), Text("a"), kOmitted, no}, -1},
      {"not on a trail byte", {Text("\xB0\x41"), Text("A"), kOmitted, no}, -1},
      {"the letter before the character", {Text("A\xB0\x41"), Text("A"), kOmitted, no}, 1},
      {"trail bytes do not fold", {Text("\xB0\x41"), Text("\xB0\x61"), kOmitted, yes}, -1},
      {"a lead byte before the end", {Text("a\xB0"), Text("\xB0"), kOmitted, no}, 2},
      {"a letter before a lone lead byte", {Text("a\xB0"), Text("a"), kOmitted, no}, 1},
      {"two records: whole text, with case", {Text("bBb"), Text("B")}, 2, "FindTextFromEnd 4"},
      {"no records", {}, -1, "FindTextFromEnd 1"},
  });
}

struct TextCase {
  const char* name;
  std::vector<rt::ArgRecord> arguments;
  const char* expected;  // "<null>": the null text
  const char* refusal = nullptr;
};

void ExpectTexts(CoreCommand command, const std::vector<TextCase>& cases) {
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    rt::ArgRecord result = CallCountingBlocks(command, c.arguments, c.refusal);
    if (result.pointer()) {
      EXPECT_NE(result.pointer(), c.arguments[0].pointer()) << "not a new text";
    }
    EXPECT_EQ(TakeText(result), c.expected);
  }
}

TEST(MidOfText, Table) {
  ExpectTexts(core::CMD_MID_OF_TEXT, {
      {"from position 0", {Text("abc"), rt::MakeInt(0), rt::MakeInt(2)}, "<null>"},
      {"from past the end", {Text("abc"), rt::MakeInt(4), rt::MakeInt(1)}, "<null>"},
      {"more than remains", {Text("abc"), rt::MakeInt(2), rt::MakeInt(5)}, "bc"},
      {"the highest count", {Text("abc"), rt::MakeInt(3), rt::MakeInt(INT_MAX)}, "c"},
      {"one byte", {Text("abc"), rt::MakeInt(2), rt::MakeInt(1)}, "b"},
      {"count 0", {Text("abc"), rt::MakeInt(1), rt::MakeInt(0)}, "<null>"},
      {"negative count", {Text("abc"), rt::MakeInt(1), rt::MakeInt(-1)}, "<null>"},
      {"the lowest position", {Text("abc"), rt::MakeInt(INT_MIN), rt::MakeInt(2)}, "<null>"},
      {"null text", {Text(nullptr), rt::MakeInt(1), rt::MakeInt(2)}, "<null>"},
      {"count missing", {Text("abc"), rt::MakeInt(1)}, "<null>", "MidOfText 3"},
  });
}

TEST(RightOfText, Table) {
  ExpectTexts(core::CMD_RIGHT_OF_TEXT, {
      {"four of five", {Text("00012"), rt::MakeInt(4)}, "0012"},
      {"more than the text", {Text("ab"), rt::MakeInt(4)}, "ab"},
      {"the highest count", {Text("ab"), rt::MakeInt(INT_MAX)}, "ab"},
      {"count 0", {Text("ab"), rt::MakeInt(0)}, "<null>"},
      {"negative count", {Text("ab"), rt::MakeInt(-1)}, "<null>"},
      {"empty text", {Text(""), rt::MakeInt(3)}, "<null>"},
      {"null text", {Text(nullptr), rt::MakeInt(3)}, "<null>"},
      {"count missing", {Text("ab")}, "<null>", "RightOfText 2"},
  });
}

TEST(ReplaceSubtext, Table) {
  const rt::ArgRecord withCase = rt::MakeBool(true), withoutCase = rt::MakeBool(false);
  ExpectTexts(core::CMD_REPLACE_SUBTEXT, {
      {"once", {Text("aXbXc"), Text("X"), Text("-"), kOmitted, rt::MakeInt(1), withCase}, "a-bXc"},
      {"all", {Text("aXbXc"), Text("X"), Text("-"), kOmitted, kOmitted, withCase}, "a-b-c"},
      {"twice of three", {Text("XXX"), Text("X"), Text("ab"), kOmitted, rt::MakeInt(2), withCase}, "ababX"},
      {"none", {Text("aXb"), Text("X"), Text("-"), kOmitted, rt::MakeInt(0), withCase}, "aXb"},
      {"a negative number means all", {Text("XaX"), Text("X"), Text("-"), kOmitted, rt::MakeInt(-5), withCase}, "-a-"},
      {"without case", {Text("aXbxc"), Text("x"), Text("-"), kOmitted, kOmitted, withoutCase}, "a-b-c"},
      {"with case", {Text("aXbxc"), Text("x"), Text("-"), kOmitted, kOmitted, withCase}, "aXb-c"},
      {"replacement omitted", {Text("aXbX"), Text("X"), kOmitted, kOmitted, kOmitted, withCase}, "ab"},
      {"longer replacement", {Text("aa"), Text("a"), Text("bcd"), kOmitted, kOmitted, withCase}, "bcdbcd"},
      {"matches do not overlap", {Text("aaa"), Text("aa"), Text("b"), kOmitted, kOmitted, withCase}, "ba"},
      {"from position 2", {Text("XaX"), Text("X"), Text("-"), rt::MakeInt(2), kOmitted, withCase}, "Xa-"},
      {"from position 0", {Text("XaX"), Text("X"), Text("-"), rt::MakeInt(0), kOmitted, withCase}, "-a-"},
      {"from a negative position", {Text("XaX"), Text("X"), Text("-"), rt::MakeInt(-3), kOmitted, withCase}, "-a-"},
      {"from the last byte", {Text("XaX"), Text("X"), Text("-"), rt::MakeInt(3), kOmitted, withCase}, "Xa-"},
      {"from past the end", {Text("XaX"), Text("X"), Text("-"), rt::MakeInt(4), kOmitted, withCase}, "XaX"},
      {"everything replaced by nothing", {Text("XX"), Text("X"), Text(""), kOmitted, kOmitted, withCase}, "<null>"},
      {"empty text to replace", {Text("aXb"), Text(""), Text("-"), kOmitted, kOmitted, withCase}, "aXb"},
      {"null text", {Text(nullptr), Text("X"), Text("-"), kOmitted, kOmitted, withCase}, "<null>"},
      {"not on a trail byte", {Text("\xB0\x41" "A"), Text("A"), Text("-"), kOmitted, kOmitted, withCase},
       "\xB0\x41-"},
      {"trail bytes do not fold", {Text("\xB0\x41"), Text("\xB0\x61"), Text("-"), kOmitted, kOmitted, withoutCase},
       "\xB0\x41"},
      {"a whole character without case", {Text("a\xB0\x41"), Text("\xB0\x41"), Text("-"), kOmitted, kOmitted,
                                          withoutCase}, "a-"},
      {"start inside a character", {Text("\xB0\x41\x41"), Text("A"), Text("-"), rt::MakeInt(2), kOmitted, withCase},
       "\xB0\x41-"},
      {"a lead byte before the end is kept", {Text("a\xB0"), Text("a"), Text("-"), kOmitted, kOmitted, withCase},
       "-\xB0"},
      {"a lead byte before the end is replaced", {Text("X\xB0"), Text("\xB0"), Text("-"), kOmitted, kOmitted,
                                                  withCase}, "X-"},
      {"two records: all, without case", {Text("xX"), Text("x")}, "<null>", "ReplaceSubtext 6"},
      {"one record", {Text("abc")}, "abc", "ReplaceSubtext 2"},
  });
}

TEST(TextLength, Table) {
  const std::vector<IntegerCase> cases = {
      {"bytes", {Text("abc")}, 3},
      {"a two-byte character", {Text("\xD6\xD0")}, 2},
      {"empty", {Text("")}, 0},
      {"null", {Text(nullptr)}, 0},
      {"missing", {}, 0, "TextLength 1"},
  };
  ExpectIntegers(core::CMD_TEXT_LENGTH, cases);
}

// Records past the count are left in memory with values that would change
// the result if a command looked at them. The table refuses every such call
// for a missing argument; the bodies alone read only what they were given.
TEST(TextCommands, ReadOnlyTheRecordsTheyWereGiven) {
  struct Case {
    core::CoreCommand command;
    std::vector<rt::ArgRecord> records;
    int count;
    const char* expected;
    const char* refusal;
  } cases[] = {
      {core::CMD_FIND_TEXT, {Text("abcabc"), Text("BC"), rt::MakeInt(3), rt::MakeBool(true)}, 2, "-1", "FindText 4"},
      {core::CMD_FIND_TEXT_FROM_END, {Text("abcabc"), Text("a"), rt::MakeInt(2)}, 2, "4", "FindTextFromEnd 4"},
      {core::CMD_MID_OF_TEXT, {Text("abc"), rt::MakeInt(1), rt::MakeInt(2)}, 2, "<null>", "MidOfText 3"},
      {core::CMD_RIGHT_OF_TEXT, {Text("abc"), rt::MakeInt(2)}, 1, "<null>", "RightOfText 2"},
      {core::CMD_TEXT_LENGTH, {Text("abc")}, 0, "0", "TextLength 1"},
      {core::CMD_REPLACE_SUBTEXT,
       {Text("aXbx"), Text("X"), Text("-"), rt::MakeInt(3), rt::MakeInt(1), rt::MakeBool(true)}, 2, "ab",
       "ReplaceSubtext 6"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Shown(CallOrRefuse(c.command, c.records, c.refusal, c.count)), c.expected) << c.refusal;
}

}  // namespace
