#include "app/menu_route.h"

#include <algorithm>

namespace norvane {
namespace {

constexpr char16_t ascii_lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool equals_ignoring_case(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return ascii_lower(x) == ascii_lower(y); });
}

}  // namespace

MenuRoute route_menu_item(std::u16string_view item_name) {
  if (equals_ignoring_case(item_name, u"configuration")) return MenuRoute::kConfiguration;
  if (equals_ignoring_case(item_name, u"exit")) return MenuRoute::kExit;
  constexpr std::u16string_view kModelPrefix = u"ms_1";
  const size_t n = std::min(item_name.size(), kModelPrefix.size());
  return item_name.substr(0, n) == kModelPrefix.substr(0, n) ? MenuRoute::kPage : MenuRoute::kIgnore;
}

}  // namespace norvane
