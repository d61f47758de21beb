#include "TestSupport.h"

FW_DEFINE_ENUM(fwtest::TTestMode, "TTestMode", "tmA", "tmB", "tmC")
FW_DEFINE_ENUM(fwtest::TTestFlag, "TTestFlag", "tfOne", "tfTwo", "tfThree")

namespace fwtest {

using namespace framework;

FW_DEFINE_CLASS(TTestWidget, [](TClassDef<TTestWidget>& d) {
  d.Property("Align", &TTestWidget::Align, &TTestWidget::SetAlign).Default(alNone);
  d.Property("Count", &TTestWidget::Count, &TTestWidget::SetCount).Default(3);
  d.Property("Mode", &TTestWidget::Mode, &TTestWidget::SetMode).Default(tmB);
  d.Property("Flags", &TTestWidget::Flags, &TTestWidget::SetFlags).Default(TTestFlags{});
  d.Property("Ratio", &TTestWidget::Ratio, &TTestWidget::SetRatio).NoDefault();
  d.Property("Label", &TTestWidget::Label, &TTestWidget::SetLabel);
  d.Property("Tint", &TTestWidget::Tint, &TTestWidget::SetTint).Default(clSilver);
  d.Property("Armed", &TTestWidget::Armed, &TTestWidget::SetArmed);
  d.Property("Caption", &TTestWidget::Caption, &TTestWidget::SetCaption);
  d.Property("Font", &TTestWidget::FontPtr, &TTestWidget::SetFont)
      .StoredIf([](const TTestWidget& w) { return !w.ParentFont(); });
  d.Property("ParentFont", &TTestWidget::ParentFont, &TTestWidget::SetParentFont).Default(true);
  d.Event("OnPing", &TTestWidget::OnPing);
})

void TTestWidget::DefineProperties(TFiler& filer) {
  TCustomPanel::DefineProperties(filer);
  filer.DefineProperty(
      "Entries",
      [this](TReader& r) {
        Entries.clear();
        r.ReadListBegin();
        while (!r.EndOfList()) {
          std::string s = r.ReadString();
          int v = static_cast<int>(r.ReadInteger());
          Entries.emplace_back(s, v);
        }
        r.ReadListEnd();
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (auto& [s, v] : Entries) {
          w.WriteString(s);
          w.WriteInteger(v);
        }
        w.WriteListEnd();
      },
      !Entries.empty());
}

FW_DEFINE_CLASS(TTestForm, [](TClassDef<TTestForm>& d) {
  d.Field("Panel1", &TTestForm::Panel1);
  d.Field("Button1", &TTestForm::Button1);
  d.Method("Button1Click", &TTestForm::Button1Click);
  d.Method("FormCreate", &TTestForm::FormCreate);
  d.Method("WidgetPing", &TTestForm::WidgetPing);
})

}  // namespace fwtest
