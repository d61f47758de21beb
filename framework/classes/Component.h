// TComponent: the component model. An owner frees what it owns (in reverse order of
// creation); Name is unique among an owner's components and validated like an identifier;
// Tag is free for the application; ComponentState says whether the component is being
// loaded, read, written, designed or destroyed. The owner is notified when a component is
// inserted or removed; components that registered with FreeNotification are notified when
// it is destroyed. Destroying a component also drops every posted message for it and marks
// the posted messages that carry it (see TMessage::ObjFreed).
//
// Freeing: a component freed with delete first runs BeforeDestruction, while its dynamic
// class is still intact, and only then its destructors. BeforeDestruction sets csDestroying
// on it and on what it owns, tells the components that asked for FreeNotification and its
// owner Notification(this, opRemove), so a receiver may still dynamic_cast the component
// to what it is (a TControl, a TButton). The component stays in its owner's list until
// ~TComponent, which takes it out without a second notification. A component destroyed
// without delete (a local variable) sends the same notifications from ~TComponent, when
// only its TComponent part is left.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/Types.h"
#include "framework/classes/Persistent.h"

namespace framework {

class TReader;
class TWriter;

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem>;
enum TOperation { opInsert, opRemove };
using TGetChildProc = std::function<void(TComponent*)>;

// What a reader serving a designer kept of a component that it could not read as such (see
// TReaderHooks in Filer.h): the class name it was stored with, when another class stands in
// for it, and the properties it does not have, with their values as they were written. The
// writer writes both back.
struct TKeptStreamData {
  std::string ClassName;
  std::vector<std::pair<std::string, std::string>> Properties;  // name (path), value text
};

class TComponent : public TPersistent {
  FW_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // Renames the component: raises EComponentError for a name that is not an identifier or
  // that another component of the same owner has.
  virtual void SetName(const std::string& value);
  int Tag() const { return FTag; }
  void SetTag(int value) { FTag = value; }
  // Where a component that is no control shows on a designed form: Left in the low 16 bits,
  // Top in the high 16 bits. The form text stores it as "Left" and "Top" when it is not 0;
  // a control never sets it (its own Left and Top are published and read first).
  uint32_t DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(uint32_t value) { FDesignInfo = value; }
  int DesignLeft() const { return static_cast<int>(FDesignInfo & 0xFFFF); }
  int DesignTop() const { return static_cast<int>(FDesignInfo >> 16); }
  // Sets both, each held within 0..65535.
  void SetDesignPosition(int left, int top);

  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState.Contains(csLoading); }
  bool IsReading() const { return FComponentState.Contains(csReading); }
  bool IsDesigning() const { return FComponentState.Contains(csDesigning); }
  bool IsDestroying() const { return FComponentState.Contains(csDestroying); }
  // Marks the component (and everything it owns) as being designed.
  void SetDesigning(bool value, bool setChildren = true);
  // Sets csDestroying on this component and everything it owns. Destructors that do work
  // call it first so that notifications see the state.
  void Destroying();
  // The step before the destructors (see above). Runs once; an override calls the
  // inherited one last.
  virtual void BeforeDestruction();
  // delete runs BeforeDestruction, then the destructors, then frees the memory (allocated
  // by the matching operator new).
  static void* operator new(std::size_t size);
  void operator delete(TComponent* component, std::destroying_delete_t);
  // Frees the memory of a component whose constructor threw.
  static void operator delete(void* memory);

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;  // EListError outside 0..count-1
  int ComponentIndex() const;               // position in the owner's list, -1 without owner
  TComponent* FindComponent(std::string_view name) const;  // nullptr when none
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();  // frees owned components, last created first
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Streaming hooks (see TReader and TWriter).
  void DefineProperties(TFiler& filer) override;
  virtual void Loaded();
  virtual void ReadState(TReader& reader);
  virtual void WriteState(TWriter& writer);
  // Hands the children that are stored after this component to proc.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  // The owner of the children read after this component; nullptr: the root.
  virtual TComponent* GetChildOwner();
  // The parent given to those children; by default this component.
  virtual TComponent* GetChildParent();
  virtual void Notification(TComponent* component, TOperation operation);

  // Used by the reader and the writer to mark the streaming states.
  void SetComponentState(TComponentStateItem item, bool on);
  // What a reader kept for the writer (nullptr: nothing); KeepStreamData makes it.
  const TKeptStreamData* KeptStreamData() const { return FKept.get(); }
  TKeptStreamData& KeepStreamData();
  // The class name the component is stored with: the kept one, else its own.
  std::string StreamedClassName() const;

 protected:
  virtual void ValidateRename(TComponent* component, const std::string& curName,
                              const std::string& newName);
  virtual void ValidateInsert(TComponent*) {}

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void SetReference(bool enable);

  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  uint32_t FDesignInfo = 0;
  TComponentState FComponentState;
  std::vector<TComponent*> FComponents;
  std::map<std::string, TComponent*, TTextLess> FNameIndex;
  std::vector<TComponent*> FFreeNotifies;
  std::unique_ptr<TKeptStreamData> FKept;
  bool FBeforeDestructionDone = false;
  bool FOwnerNotified = false;  // the owner got opRemove from BeforeDestruction
};

// Observers told at the start of every component's destruction (the message queue drops
// messages for it; a reader forgets it). The key identifies the observer for removal.
namespace detail {
void AddComponentDestroyedHook(const void* key, std::function<void(TComponent*)> hook);
void RemoveComponentDestroyedHook(const void* key);
}  // namespace detail

}  // namespace framework
