// Menus: TMenuItem (Caption, Enabled, Visible, Checked, OnClick, and sub-items) and
// TPopupMenu, a tree of items shown at a point by Popup. The widgetset shows the menu (a
// native menu with Qt; the headless widgetset records it and lets tests choose an item);
// choosing an enabled item calls its Click, which fires OnClick.
//
// An item belongs to its parent's Items: freeing an item frees its sub-items and takes it
// out of its parent. Items are components too: they are owned by the popup menu (or by the
// item they were created for), and stored after the popup menu as nested objects:
//
//   object Popup: TPopupMenu
//     object Open: TMenuItem
//       Caption = 'Open'
//     end
//   end
#pragma once

#include <string>
#include <vector>

#include "framework/base/Events.h"
#include "framework/classes/Component.h"

namespace framework {

class TMenuItem : public TComponent {
  FW_CLASS(TMenuItem, TComponent)
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value) { FCaption = value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value) { FEnabled = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool value) { FChecked = value; }
  // A separator line is an item whose caption is "-".
  bool IsLine() const { return FCaption == "-"; }

  // Sub-items.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const;  // EListError outside 0..Count-1
  void Add(TMenuItem* item);          // moves the item from its former parent
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);  // takes it out without freeing it
  void Delete(int index);        // frees the item at index
  void Clear();                  // frees every sub-item
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return FParent; }
  // The sub-item of that caption (case-insensitive), nullptr when none.
  TMenuItem* Find(const std::string& caption) const;

  // What choosing the item does: fires OnClick when the item is enabled.
  virtual void Click();
  TNotifyEvent OnClick;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  TComponent* GetChildOwner() override { return Owner(); }
  void ReadState(TReader& reader) override;

 private:
  std::string FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
};

class TPopupMenu : public TComponent {
  FW_CLASS(TPopupMenu, TComponent)
 public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // The invisible root item whose sub-items are the menu.
  TMenuItem& Items() const { return *FItems; }
  // Fires OnPopup, then has the widgetset show the menu with its top-left corner at the
  // screen point (x, y). The point is kept in PopupPoint.
  virtual void Popup(int x, int y);
  TPoint PopupPoint() const { return FPopupPoint; }
  // The component that asked for the menu (set by whoever calls Popup), nullptr when none.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* value);
  TNotifyEvent OnPopup;

  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  TComponent* GetChildOwner() override { return this; }
  TComponent* GetChildParent() override { return FItems; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* FItems;
  TPoint FPopupPoint;
  TComponent* FPopupComponent = nullptr;
};

}  // namespace framework
