// Checks of the values typed after the command line's flags, in one place so that every verb
// refuses the same bad input the same way: a number that does not parse, NaN, an infinity, an
// overflow, a value out of its range, a pair out of order, text that is not UTF-8.
//
// A failed check is bad usage. Attached to an option as a validator, CLI11 reports it as
// "--flag: <reason>" and the command exits 2 before any file is opened. The readers return the
// same reasons for values a command can only read after parsing (an empty reason: accepted).
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace vx::cli {

// The accepted numbers of one value: [min, max], whole numbers only when whole.
struct NumberRange {
  double min = 0;
  double max = 0;
  bool whole = false;
  std::string unit;  // shown after the range ("cm²", "pixels"); may be empty

  // "a whole number from 0 to 100 (pixels)"
  std::string Describe() const;
};

// Ready-made ranges of the values many verbs share.
NumberRange RecordId();         // a record id: 1 and up
NumberRange Percentage();       // 0 to 100 (%)
NumberRange PixelCoordinate();  // a position in an image, pixels

// Several numbers in one value ("MIN,MAX", "WIDTHxHEIGHT", "LEFT,TOP,RIGHT,BOTTOM").
struct NumberList {
  std::string form;  // how the user writes it, shown in messages ("MIN,MAX")
  char separator = ',';
  size_t count = 2;
  NumberRange range;
  bool increasing = false;  // each number greater than the one before it
};

// Reads one number of range from text (blanks around it allowed). Returns the reason it is
// refused, or an empty text with value set.
std::string ReadNumber(std::string_view text, const NumberRange& range, double& value);
std::string ReadWholeNumber(std::string_view text, const NumberRange& range, int& value);
// Reads every number of list (exactly list.count of them).
std::string ReadNumbers(std::string_view text, const NumberList& list, std::vector<double>& values);
std::string ReadWholeNumbers(std::string_view text, const NumberList& list, std::vector<int>& values);

// Validators for CLI11 options, with the rules above. The option may hold the value as a
// string or as a number: the check runs on the text before CLI11 converts it.
CLI::Validator NumberIn(const NumberRange& range);
CLI::Validator NumbersIn(const NumberList& list);

// Every argument is UTF-8 text: the reason the first one that is not gets refused, naming its
// flag (or its position), or an empty text.
std::string CheckArgumentsAreUtf8(const std::vector<std::string>& args);

}  // namespace vx::cli
