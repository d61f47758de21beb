// Standard controls: TLabel (graphic text, sized to its caption when AutoSize, a right-
// justified label keeps its right edge), TEdit (single-line text with OnChange),
// TGroupBox (a captioned frame for controls), TRadioGroup (a group box of exclusive
// items with ItemIndex and OnClick) and TCheckBox (a captioned box that is checked or not).
#pragma once

#include "framework/classes/StringList.h"
#include "framework/controls/Controls.h"
#include "framework/controls/Forms.h"

namespace framework {

class TLabel : public TGraphicControl {
  FW_CLASS(TLabel, TGraphicControl)
 public:
  explicit TLabel(TComponent* owner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void AdjustSize() override;

 private:
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  TWinControl* FFocusControl = nullptr;
};

class TEdit : public TWinControl {
  FW_CLASS(TEdit, TWinControl)
 public:
  explicit TEdit(TComponent* owner);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value) { FMaxLength = value < 0 ? 0 : value; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void TextChanged() override;
  // The text changed (not while loading): fires OnChange.
  virtual void Change();

 private:
  bool FReadOnly = false;
  int FMaxLength = 0;
  TBorderStyle FBorderStyle = bsSingle;
  bool FModified = false;
};

class TGroupBox : public TCustomControl {
  FW_CLASS(TGroupBox, TCustomControl)
 public:
  explicit TGroupBox(TComponent* owner);
  void AdjustClientRect(TRect& rect) const override;
  void Paint() override;
};

class TRadioGroup : public TGroupBox {
  FW_CLASS(TRadioGroup, TGroupBox)
 public:
  explicit TRadioGroup(TComponent* owner);
  ~TRadioGroup() override;
  TStrings* Items() const { return FItems; }
  void SetItems(TStrings* value);
  // -1 for none; values beyond the items are clamped. A change fires OnClick (not while
  // loading).
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value);
  int Columns() const { return FColumns; }
  void SetColumns(int value);
  // The rectangle of an item in client coordinates; the item at a client point (-1: none).
  TRect ItemRect(int index) const;
  int ItemAtPos(TPoint p) const;
  void Paint() override;
  void Loaded() override;

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void ItemsChanged(TObject*);
  TStrings* FItems;
  int FItemIndex = -1;
  int FColumns = 1;
};

// A check box with its caption to the right. A click (mouse, Space, or Click()) toggles
// Checked; every change of Checked fires OnClick, except while the form is loading.
class TCheckBox : public TWinControl {
  FW_CLASS(TCheckBox, TWinControl)
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void KeyUp(uint16_t& key, TShiftState shift) override;  // Space toggles it

 private:
  bool FChecked = false;
};

}  // namespace framework
