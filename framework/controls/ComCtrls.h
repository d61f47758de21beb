// TProgressBar (Min..Max, Position clamped, StepIt) and TStatusBar (panels of given widths,
// or one simple text across the bar).
#pragma once

#include "framework/classes/Collection.h"
#include "framework/controls/Controls.h"

namespace framework {

class TProgressBar : public TCustomControl {
  FW_CLASS(TProgressBar, TCustomControl)
 public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  int Position() const { return FPosition; }
  void SetPosition(int value);  // clamped to Min..Max
  int Step() const { return FStep; }
  void SetStep(int value) { FStep = value; }
  void StepIt();  // advances by Step, wrapping to Min past Max
  void StepBy(int delta);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value) { FSmooth = value; }
  void Paint() override;
  void Loaded() override;

 private:
  int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
  bool FSmooth = false;
};

class TStatusPanel : public TCollectionItem {
  FW_CLASS(TStatusPanel, TCollectionItem)
 public:
  explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
  int Width() const { return FWidth; }
  void SetWidth(int value);
  const std::string& Text() const { return FText; }
  void SetText(const std::string& value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  void Assign(const TPersistent& source) override;

 private:
  int FWidth = 50;
  std::string FText;
  TAlignment FAlignment = taLeftJustify;
};

class TStatusBar : public TCustomControl {
  FW_CLASS(TStatusBar, TCustomControl)
 public:
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;
  TCollection* Panels() const { return FPanels; }
  void SetPanels(TCollection* value);
  TStatusPanel* Panel(int index) const;  // EListError outside range
  TStatusPanel* AddPanel();
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const std::string& value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool value) { FSizeGrip = value; }
  void Paint() override;

 private:
  TCollection* FPanels;
  bool FSimplePanel = false;
  std::string FSimpleText;
  bool FSizeGrip = true;
};

}  // namespace framework
