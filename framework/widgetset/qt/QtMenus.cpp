// Popup menus of the Qt widgetset: a QMenu built from the menu's visible items, shown at
// the screen point; choosing an action clicks the item it was made for, if the item is
// still in the menu.
#include <QAction>
#include <QMenu>
#include <QString>

#include "framework/controls/Menus.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

namespace framework {

namespace {

bool Contains(const TMenuItem& parent, const TMenuItem* item) {
  for (int i = 0; i < parent.Count(); ++i)
    if (parent.Items(i) == item || Contains(*parent.Items(i), item)) return true;
  return false;
}

void AddItems(QMenu& native, const TMenuItem& parent, TPopupMenu& menu) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = parent.Items(i);
    if (!item->Visible()) continue;
    if (item->IsLine()) {
      native.addSeparator();
      continue;
    }
    QString text = QString::fromStdString(item->Caption());
    if (item->Count() > 0) {
      QMenu* sub = native.addMenu(text);
      sub->setEnabled(item->Enabled());
      AddItems(*sub, *item, menu);
      continue;
    }
    QAction* action = native.addAction(text);
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked());
    action->setChecked(item->Checked());
    // The item is only compared until it is found in the menu again.
    QObject::connect(action, &QAction::triggered, &native, [&menu, item] {
      if (Contains(menu.Items(), item)) item->Click();
    });
  }
}

}  // namespace

void TQtWidgetSet::PopupMenu(TPopupMenu& menu, TPoint at) {
  if (FOpenMenu) FOpenMenu->close();
  auto* native = new QMenu();
  native->setAttribute(Qt::WA_DeleteOnClose);
  AddItems(*native, menu.Items(), menu);
  FOpenMenu = native;
  FOpenPopup = &menu;
  native->popup(QPoint(at.X, at.Y));
  NoteActivity();
}

// The item clicked in the native menu may free the popup menu from its OnClick: the native
// menu is then the sender of the event being handled, so Qt deletes it once that is done.
// Its actions name items of the menu being freed and are cut off at once.
void TQtWidgetSet::MenuDestroyed(TPopupMenu& menu) {
  if (FOpenPopup != &menu || !FOpenMenu) return;
  QMenu* native = FOpenMenu;
  FOpenMenu = nullptr;
  FOpenPopup = nullptr;
  for (QAction* action : native->findChildren<QAction*>())
    QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
  native->hide();
  native->deleteLater();
}

}  // namespace framework
