// Tokens, grammar and the errors of xCheckSyntax with their positions.
#include <gtest/gtest.h>

#include "query_test_util.h"

namespace {

void ExpectError(int32_t expected, const char* text, int32_t code, uint32_t pos) {
  const Checked c = CheckExpr(expected, text);
  EXPECT_EQ(c.ok, 0) << text;
  EXPECT_EQ(c.error, code) << text;
  EXPECT_EQ(c.pos, pos) << text;
}

double Number(const char* text) {
  const Checked c = CheckExpr(10, text);
  EXPECT_EQ(c.ok, 1) << text << " error " << c.error << " at " << c.pos;
  EXPECT_EQ(c.value.type, XJOR_QV_NUMBER) << text;
  return c.number();
}

bool Truth(const char* text) {
  const Checked c = CheckExpr(0, text);
  EXPECT_EQ(c.ok, 1) << text << " error " << c.error << " at " << c.pos;
  EXPECT_EQ(c.value.type, XJOR_QV_BOOLEAN) << text;
  return c.truth();
}

std::string Tokens(int n) {  // "1+1+...": n tokens
  std::string s = "1";
  for (int i = 1; i < n; i += 2) s += i + 1 < n ? "+1" : "+";
  return s;
}

TEST(QuerySyntax, ErrorsCarryTheirPositions) {
  ExpectError(0, "'abc", 21021, 1);
  ExpectError(0, "1 = \"ab", 21021, 5);
  ExpectError(12, "@00-01-01", 21022, 1);
  ExpectError(12, "@00-13-01@", 21015, 1);
  ExpectError(12, "  @garbage@", 21015, 3);
  ExpectError(0, "[Dur > 1", 21023, 1);
  ExpectError(0, "[Nme] > 1", 21024, 1);
  ExpectError(10, "1 + $", 21019, 4);
  ExpectError(10, "(1 + 2", 21018, 6);
  ExpectError(10, "1 + * 2", 21019, 4);
  ExpectError(10, "1 + 2)", 21019, 5);
  ExpectError(10, "()", 21019, 1);
  ExpectError(0, "1 == 1", 21019, 3);
  ExpectError(10, "--1", 21019, 1);
  ExpectError(10, "", 21019, 0);
  ExpectError(10, "   ", 21019, 3);
  ExpectError(0, "1 + 2", 21020, 0);
  ExpectError(10, "'a' + 1", 21017, 4);
}

TEST(QuerySyntax, FieldNameLongerThan31CharactersIsABracketError) {
  const std::string name31(31, 'x'), name32(32, 'x');
  ExpectError(0, ("[" + name31 + "] = 1").c_str(), 21024, 1);
  ExpectError(0, ("[" + name32 + "] = 1").c_str(), 21023, 1);
}

TEST(QuerySyntax, TokenLimitIs23) {
  EXPECT_EQ(Number(Tokens(23).c_str()), 12);
  ExpectError(10, Tokens(24).c_str(), 21016, 0);
  ExpectError(10, (Tokens(22) + "('unclosed").c_str(), 21016, 0);
  // Blanks and a long tail after a number do not count.
  EXPECT_EQ(Number(("  " + Tokens(23) + "   ").c_str()), 12);
}

TEST(QuerySyntax, FailedCheckLeavesTrueConditionOrZeroValue) {
  QueryCtx q{};
  Checked c = CheckExpr(0, "(1", nullptr, nullptr, 0, &q);
  EXPECT_EQ(c.ok, 0);
  EXPECT_EQ(q.current, -1);
  EXPECT_EQ(c.value.type, XJOR_QV_BOOLEAN);
  EXPECT_TRUE(c.truth());
  xExeQuery(&q);  // nothing to evaluate: the condition stays true
  EXPECT_EQ(q.result.u.boolean.value, 1u);

  c = CheckExpr(10, "(1", nullptr, nullptr, 0, &q);
  EXPECT_EQ(c.value.type, XJOR_QV_BOOLEAN);
  EXPECT_FALSE(c.truth());
  EXPECT_EQ(c.pos, 2u);
}

TEST(QuerySyntax, EmptyAndMissingExpressions) {
  QueryCtx q{};
  Checked c = CheckExpr(0, nullptr, nullptr, nullptr, 0, &q);
  EXPECT_EQ(c.ok, 1);
  EXPECT_TRUE(c.truth());
  EXPECT_EQ(q.current, -1);
  c = CheckExpr(0, "  ", nullptr, nullptr, 0, &q);
  EXPECT_EQ(c.ok, 1);
  EXPECT_TRUE(c.truth());
  EXPECT_EQ(q.current, -1);
}

TEST(QuerySyntax, CheckClearsAnOldErrorWord) {
  xSetDbError(21006);
  EXPECT_EQ(CheckExpr(10, "1").error, 0);
}

TEST(QuerySyntax, OperatorSpellings) {
  EXPECT_TRUE(Truth("1 <= 1"));
  EXPECT_TRUE(Truth("2 >= 1"));
  EXPECT_TRUE(Truth("1 != 2"));
  EXPECT_TRUE(Truth("1 ! 2"));
  EXPECT_FALSE(Truth("1 ! 1"));
  EXPECT_TRUE(Truth("'abc' : 'b'"));
  EXPECT_TRUE(Truth("'abc' !: 'x'"));
  EXPECT_TRUE(Truth("\"it's\" = \"it's\""));
  EXPECT_TRUE(Truth("'say \"hi\"' : '\"'"));
  ExpectError(0, "1 < > 2", 21019, 4);
}

TEST(QuerySyntax, NumberConstants) {
  EXPECT_EQ(Number("1 2"), 1);
  EXPECT_EQ(Number("1.5"), 1.5);
  EXPECT_EQ(Number(".25"), 0.25);
  EXPECT_EQ(Number("3."), 3);
  EXPECT_EQ(Number("1.2.3"), 1.2);
  EXPECT_EQ(Number("2abc*3"), 6);  // the tail up to the next operator is skipped
  EXPECT_EQ(Number("1e5"), 1);     // no exponents
  EXPECT_EQ(Number("7 'x' + 1"), 8);
  EXPECT_EQ(Number(std::string(400, '9').c_str()), 0);  // too large to hold
}

TEST(QuerySyntax, PrecedenceAndAssociativity) {
  EXPECT_EQ(Number("1 + 2 * 3"), 7);
  EXPECT_EQ(Number("(1 + 2) * 3"), 9);
  EXPECT_EQ(Number("10 - 4 - 3"), 3);
  EXPECT_EQ(Number("64 / 4 / 2"), 8);
  EXPECT_EQ(Number("17 % 5 * 2"), 4);
  EXPECT_EQ(Number("-2 * 3"), -6);
  EXPECT_EQ(Number("2 * -3"), -6);
  EXPECT_EQ(Number("-(2 + 3)"), -5);
  EXPECT_EQ(Number("+4"), 4);
  EXPECT_EQ(Number("((((((1))))))"), 1);
  // & and | share one level, left to right: (1=1 | 1=1) & 1=2 is false.
  EXPECT_FALSE(Truth("1 = 1 | 1 = 1 & 1 = 2"));
  EXPECT_TRUE(Truth("1 = 2 & 1 = 1 | 1 = 1"));
  // Comparisons chain left to right, so a boolean meets a number.
  ExpectError(0, "1 < 2 < 3", 21017, 6);
  EXPECT_TRUE(Truth("1 + 1 = 2"));
}

TEST(QuerySyntax, ExpectedResultTypes) {
  EXPECT_EQ(CheckExpr(-1, "1").ok, 1);
  EXPECT_EQ(CheckExpr(-1, "'a'").ok, 1);
  EXPECT_EQ(CheckExpr(-1, "1 = 1").error, 21020);
  EXPECT_EQ(CheckExpr(11, "'a'").ok, 1);
  EXPECT_EQ(CheckExpr(11, "1").error, 21020);
  EXPECT_EQ(CheckExpr(12, "@@").ok, 1);
  EXPECT_EQ(CheckExpr(12, "1").error, 21020);
  EXPECT_EQ(CheckExpr(5, "1").ok, 1);  // a field type code asks for a number
  EXPECT_EQ(CheckExpr(5, "'a'").error, 21020);
}

TEST(QuerySyntax, StringConstantPointsIntoTheText) {
  const char* text = "  'hello'";
  const Checked c = CheckExpr(11, text);
  EXPECT_EQ(c.value.u.string.text, text + 3);
  EXPECT_EQ(c.value.u.string.length, 5);
}

}  // namespace
