// User-defined fields (custom fields) of animals and tests, with their list choices, and the
// values that animals and tests hold for them.
#pragma once

#include <string>
#include <vector>

namespace vx {

enum FieldType { kFieldText = 0, kFieldNumber = 1, kFieldChoice = 2, kFieldProtocolChoice = 3 };

// One entry of a list field (table Choices).
struct CChoice {
  int id = -1;
  std::string name;
  int idZone = -1;
  int idProtocol = -1;  // type 3 fields: the field's protocol when its category is not 0
};

// A field definition (table Fields).
struct CField {
  int id = -1;
  std::string name;
  int idProtocol = -1;  // -1: all protocols
  int idZone = -1;      // -1: none
  std::string unit;
  int ordre = 0;
  int category = 0;     // 0 or 1: the two families of fields
  int type = kFieldText;
  std::vector<CChoice> choices;  // list types, in display order
};

// One value held by an animal or a test for one field.
struct tFieldContent {
  int fieldId = -1;
  int type = kFieldText;
  double real = 0.0;   // type 1
  int choiceId = -1;   // types 2 and 3
  std::string text;    // type 0
};

}  // namespace vx
