// Small text helpers shared by every module.
//
// Many stored columns are short texts of values separated by '|' (and ';' or ',' inside a
// field), written with printf-style formats and read back token by token. These helpers keep
// that reading and writing in one place. All text is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// printf into a std::string. Numbers always use a point as decimal separator because the
// programs built on the core run with the "C" numeric locale.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Text ready to sit inside single quotes in an SQL statement: every ' becomes ''.
std::string SqlQuote(std::string_view text);

// Splits text at every separator. With keepEmpty false, empty pieces are dropped (the way the
// stored texts' tokenizer reads consecutive separators).
std::vector<std::string> Split(std::string_view text, char separator, bool keepEmpty);

// A reader over the tokens of an encoded text, one token at a time.
class Tokenizer {
 public:
  Tokenizer(std::string_view text, char separator, bool keepEmpty = false);
  bool Next(std::string& token);  // false when no token is left
  bool AtEnd() const { return next_ >= tokens_.size(); }
 private:
  std::vector<std::string> tokens_;
  size_t next_ = 0;
};

// C-library style conversions: leading blanks and a sign are accepted, reading stops at the
// first character that does not belong to the number, and no digits at all give 0.
int ToInt(std::string_view text);
int64_t ToInt64(std::string_view text);
double ToDouble(std::string_view text);

// Strict conversions: the whole token (blanks around it allowed) must be a number.
bool TryParseInt(std::string_view text, int& value);
bool TryParseInt64(std::string_view text, int64_t& value);
bool TryParseDouble(std::string_view text, double& value);

std::string Trim(std::string_view text);
std::string ToLower(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// "(1,2,3)": the id list inside an SQL "in" clause. An empty list gives "()".
std::string SqlIdList(const std::vector<int>& ids);

// Id sets stored as text are ",1,2,3," and a member is found by searching ",id,".
bool IdSetContains(std::string_view idSet, int id);

// Rounding helpers named after the rule they apply.
int RoundHalfEven(double value);
int RoundHalfAway(double value);
int64_t RoundHalfEven64(double value);

}  // namespace vx
