// The printf placeholders of a text: what a translation must keep so that the values filled
// in by Format land in the right places and with the right types.
#pragma once

#include <string>
#include <vector>

namespace vx {

// Each conversion of text in order, as written ("%s", "%.2f", "%d"); "%%" is not one.
std::vector<std::string> Placeholders(const std::string& text);

// True when b can be filled with the values meant for a: the same conversions (type and length)
// in the same order. Width and precision may differ.
bool SamePlaceholders(const std::string& a, const std::string& b);

}  // namespace vx
