// Custom fields as people name them: the words for field types and families, and a value
// written as "NAME=VALUE" checked against its field and set among an animal's or a test's
// values.
//
// Families: category 0 holds the animals' fields, category 1 the tests' fields (only these
// can offer a choice per protocol, type 3).
#pragma once

#include <string>
#include <vector>

#include "db/field.h"

namespace vx {

enum FieldFamily { kAnimalFields = 0, kTestFields = 1 };

// "text", "number", "choice", "protocol-choice"; "" for an unknown type.
const char* FieldTypeName(int type);
// The type of a name (or of its number 0 to 3); -1 when unknown.
int FieldTypeOf(const std::string& name);
// "animal" (category 0), "test" (1).
const char* FieldFamilyName(int category);

// Why a text cannot be stored as a text value or a choice name ("" when it can): the stored
// form cuts values at "|" and ";", and names must not be empty.
std::string FieldTextProblem(const std::string& text);

// Sets the value of "NAME=VALUE" among values: NAME names a field of category (case-insensitive),
// VALUE is a text, a number, or a choice given by name or id; an empty VALUE removes the
// field's value. "" on success (field, when given, points at the field), else the reason.
std::string SetFieldValue(const std::vector<CField>& fields, int category,
                          const std::string& assignment, std::vector<tFieldContent>& values,
                          const CField** field = nullptr);

// Do two value lists choose differently for a protocol-choice field? Such a choice decides the
// zone a choice zone stands for, so it changes the test's results.
bool ProtocolChoicesDiffer(const std::vector<CField>& fields, const std::vector<tFieldContent>& a,
                           const std::vector<tFieldContent>& b);

}  // namespace vx
