#pragma once
// Case-insensitive comparison of UTF-16 names (profile and macro names).

#include <string_view>

namespace norvane {

// The simple case folding of one UTF-16 code unit: letters of the Basic Multilingual
// Plane map to their folded form (A -> a, Ä -> ä, Σ/ς -> σ, Ж -> ж); everything else,
// surrogates included, maps to itself.
char16_t fold_case(char16_t unit);

// True when both names are equal after case folding, unit by unit.
bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);

}  // namespace norvane
