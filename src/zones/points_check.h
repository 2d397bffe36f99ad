// Strict reading of a geometry text typed by a user (the stored Points form of each kind).
//
// The stored-text readers never fail: they fall back to what the shape held. Text coming
// from a user is checked first, so that a typing error is refused with its reason instead of
// silently giving another shape.
#pragma once

#include <string>

#include "zones/zone_set.h"

namespace vx {

// "" when text is a well-formed geometry text for a shape of kind (TypeRect 0 to 6) in set,
// otherwise what is wrong with it:
// - rectangle kinds: "left;top;right;bottom", four integers;
// - polygon: "left;top;right;bottom|count|x;y|x;y|...", at least three vertices, as many as
//   the count says;
// - combined: "0;operation;count;id;id;...;", operation 0 (union), 1 (intersection) or 2
//   (choice), at least one component, each naming a zone of set with an area (a negative id
//   names its complement).
std::string CheckPointsText(int kind, const std::string& text, const ZoneSet& set);

}  // namespace vx
