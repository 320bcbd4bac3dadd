#pragma once
// Where a chosen pop-up menu item goes. The tray menu's own items are matched without
// regard to letter case; every item of this mouse model's menus begins with "ms_1"
// and goes to the settings page. That prefix test is case-sensitive and runs over the
// shorter of the two names, so a name shorter than four characters that agrees with
// the start of "ms_1" goes to the page too (the page ignores names it does not know).

#include <string_view>

namespace norvane {

enum class MenuRoute { kIgnore, kConfiguration, kExit, kPage };

MenuRoute route_menu_item(std::u16string_view item_name);

}  // namespace norvane
