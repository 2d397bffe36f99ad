// The custom-field values of an animal or a test as one text (columns Animals.Fields and
// Tests.Fields).
//
// One entry per value, each ending with "|": "%d;%d;%s|" (field id, type, text) for text
// fields, "%d;%d;%f|" for numbers, "%d;%d;%d|" (choice id) for the two list types. The encoding
// has no escape: a text value is stored up to its first "|" or ";" (what the reader would keep
// anyway), so a value never spills into the next entry.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "db/field.h"

namespace vx {

// Old-to-new id tables used when values come from another experiment file (import).
struct FieldIdTranslation {
  std::map<int, int> fields;
  std::map<int, int> choices;
};

// The field of that id in the list, or nullptr.
const CField* FindFieldById(const std::vector<CField>& fields, int id);

// Values whose field is unknown, negative or of another type are dropped.
std::string FormatFieldValues(const std::vector<tFieldContent>& values,
                              const std::vector<CField>& fields);

// Keeps the entries whose field exists with the same type (the two list types count as
// equal; the value then takes the field's current type). With a translation, field and choice
// ids are translated first: an unknown field drops the entry, an unknown choice becomes -1.
// Malformed entries are skipped; never fails.
std::vector<tFieldContent> ParseFieldValues(const std::string& text,
                                            const std::vector<CField>& fields,
                                            const FieldIdTranslation* translation = nullptr);

}  // namespace vx
