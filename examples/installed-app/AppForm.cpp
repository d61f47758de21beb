#include "AppForm.h"

#include <string>

#include "framework/base/Rtti.h"

namespace installedapp {

using namespace framework;

FW_DEFINE_CLASS(TAppForm, [](TClassDef<TAppForm>& d) {
  d.Field("StatusLabel", &TAppForm::StatusLabel);
  d.Method("ShowPaneClick", &TAppForm::ShowPaneClick);
  d.Method("QuitClick", &TAppForm::QuitClick);
})

void TAppForm::ShowPaneClick(TObject* sender) {
  auto* button = dynamic_cast<TComponent*>(sender);
  // The multi-pane is reached by name and property, so that this class needs only the
  // framework (the package it comes from is loaded beside the component package).
  TComponent* panes = FindComponent("MultiPane1");
  if (!button || !panes) return;
  const int pane = button->Tag();
  if (pane < 0 || pane >= GetOrdProp(*panes, "Count")) return;
  SetOrdProp(*panes, "TopPaneIndex", pane);
  if (StatusLabel) StatusLabel->SetCaption("Pane " + std::to_string(pane + 1) + " in front");
}

void TAppForm::QuitClick(TObject*) { Close(); }

void Register() { RegisterClass(TAppForm::StaticClass()); }

}  // namespace installedapp

extern "C" void AppformsRegister() { installedapp::Register(); }
