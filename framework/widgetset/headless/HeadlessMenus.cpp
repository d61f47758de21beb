// Popup menus of the headless widgetset: recorded, and chosen from by tests.
#include "framework/base/StrUtils.h"
#include "framework/controls/Menus.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"

namespace framework {

void THeadlessWidgetSet::PopupMenu(TPopupMenu& menu, TPoint at) {
  std::string entry = (menu.Name().empty() ? menu.ClassName() : menu.Name()) + " at " +
                      std::to_string(at.X) + "," + std::to_string(at.Y) + ":";
  std::string sep = " ";
  for (int i = 0; i < menu.Items().Count(); ++i) {
    const TMenuItem* item = menu.Items().Items(i);
    if (!item->Visible()) continue;
    entry += sep + item->Caption() + (item->Enabled() ? "" : " (disabled)");
    sep = " | ";
  }
  FMenuLog.push_back(entry);
  FOpenMenu = &menu;
}

void THeadlessWidgetSet::MenuDestroyed(TPopupMenu& menu) {
  if (FOpenMenu == &menu) FOpenMenu = nullptr;
}

bool THeadlessWidgetSet::ChooseMenuItem(const std::string& captionPath) {
  if (!FOpenMenu) return false;
  TMenuItem* item = &FOpenMenu->Items();
  size_t start = 0;
  while (true) {
    size_t bar = captionPath.find('|', start);
    std::string caption = captionPath.substr(start, bar - start);
    TMenuItem* next = nullptr;
    for (int i = 0; i < item->Count() && !next; ++i)
      if (item->Items(i)->Visible() && SameText(item->Items(i)->Caption(), caption))
        next = item->Items(i);
    if (!next) return false;
    item = next;
    if (bar == std::string::npos) break;
    if (!item->Enabled()) break;  // a greyed submenu does not open
    start = bar + 1;
  }
  FOpenMenu = nullptr;
  if (!item->Enabled()) return false;
  item->Click();
  return true;
}

}  // namespace framework
