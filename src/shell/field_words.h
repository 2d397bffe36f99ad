// A custom field's value in words, as SetFieldValue (db/field_entry.h) takes it back: the
// text, the number, or the choice's name; "" when the record holds no value for the field.
// And the fields a record's form offers.
#pragma once

#include <string>
#include <vector>

#include "db/field.h"

namespace vx {

std::string FieldValueWords(const CField& field, const std::vector<tFieldContent>& values);

// The fields of category (0 animals, 1 tests) a record shows, in their order; for tests, those
// of every protocol and of protocolId.
std::vector<const CField*> FieldsOfForm(const std::vector<CField>& fields, int category, int protocolId);

}  // namespace vx
