// TGrabHandler: a non-visual design aid. Containers filled edge to edge by their children
// cannot be picked with the mouse in the form designer; switching the handler on gives
// each container of its form a thin border of its own to grab:
//   - grab-border containers (the classes registered as "TTriPane" and "TMultiPane") get
//     their published Boolean GRABBORDER set;
//   - border-width containers (the class registered as "TScrollToolBar", and every
//     framework panel) with no border get BORDERWIDTH := GrabWidth, and are remembered.
// The handler knows these classes only by their registered names and their published
// properties, never at compile time.
//
// The remembered containers are stored by name in the custom property "CompNames" (or
// the single entry "###" when there are none). At run time the handler takes those borders
// away again once the form has loaded, so that the running application looks as designed;
// a 50 ms timer stays as a fallback for a form that is still loading.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "framework/classes/Component.h"
#include "framework/classes/Filer.h"
#include "framework/design/DesignIntf.h"
#include "framework/messages/Timer.h"

namespace tessapack {

enum TGrabHandlerState { ghOff, ghOn };

class TGrabHandler : public framework::TComponent {
  FW_CLASS(TGrabHandler, framework::TComponent)
 public:
  // Raises EInvalidOwner unless the owner is a form.
  explicit TGrabHandler(framework::TComponent* owner);
  ~TGrabHandler() override;

  // At run time the state is never stored: it reads ghOff.
  TGrabHandlerState AllGrabHandles() const { return FAllGrabHandles; }
  void SetGrabs(TGrabHandlerState Value);
  int GrabWidth() const { return FGrabWidth; }
  void SetWidth(int Value);  // a negative width is ignored
  // Remove the widened borders at run time.
  bool DisableOnRun = true;

  // What the handler remembers: the containers it widened (none until first needed), the
  // names read from the stored form (until the run-time clean-up) and the clean-up timer.
  const std::optional<std::vector<framework::TComponent*>>& Grabbed() const { return FGrabbed; }
  const std::optional<std::vector<std::string>>& Names() const { return FNames; }
  bool HaveNames() const { return FHaveNames; }
  framework::TTimer* CleanupTimer() const { return FTimer; }

  // The timer's event: the run-time clean-up, once the owner has finished loading.
  void Timer(framework::TObject* Sender);

  void DefineProperties(framework::TFiler& filer) override;
  void ReadState(framework::TReader& reader) override;
  void Loaded() override;
  void Notification(framework::TComponent* component, framework::TOperation operation) override;

 private:
  void ReadProc(framework::TReader& reader);
  void WriteProc(framework::TWriter& writer);
  void Remember(framework::TComponent* component);
  void Forget();
  void Cleanup(bool fromTimer);

  TGrabHandlerState FAllGrabHandles = ghOff;
  bool FHaveNames = false;
  int FGrabWidth = 2;
  std::optional<std::vector<framework::TComponent*>> FGrabbed;
  std::optional<std::vector<std::string>> FNames;
  // Stored names that matched no component of the form: written back as they were read.
  std::vector<std::string> FUnresolved;
  framework::TTimer* FTimer = nullptr;
};

// Double-clicking the handler in the designer switches the handles on or off.
class TGrabHandlerEditor : public framework::TDefaultEditor {
 public:
  using TDefaultEditor::TDefaultEditor;
  void Edit() override;
};

// The containers the handler reaches, by registered class name.
bool IsGrabBorderContainer(const framework::TComponent& component);
bool IsBorderWidthContainer(const framework::TComponent& component);

namespace GrabHandler {
// Puts TGrabHandler on the palette page "Tessaline" with its component editor.
void Register();
}  // namespace GrabHandler

}  // namespace tessapack

FW_DECLARE_ENUM(tessapack::TGrabHandlerState)
