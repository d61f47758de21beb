// Component model: ownership and destruction order, names, state, notifications.
#include <string>
#include <vector>

#include "TestSupport.h"

using namespace framework;

namespace fwtest {
namespace {

std::vector<std::string>* GLog = nullptr;

class TLogged : public TComponent {
  FW_CLASS(TLogged, TComponent)
 public:
  explicit TLogged(TComponent* owner) : TComponent(owner) {}
  ~TLogged() override {
    if (GLog) GLog->push_back(Name());
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (GLog) GLog->push_back(Name() + (op == opInsert ? " +" : " -") + c->Name());
  }
};
FW_DEFINE_CLASS(TLogged)

using ComponentTest = FrameworkTest;

TEST_F(ComponentTest, OwnerFreesChildrenFirstInReverseOrderOfCreation) {
  std::vector<std::string> log;
  auto* root = new TLogged(nullptr);
  root->SetName("Root");
  auto* a = new TLogged(root);
  a->SetName("A");
  auto* a1 = new TLogged(a);
  a1->SetName("A1");
  auto* b = new TLogged(root);
  b->SetName("B");
  GLog = &log;
  delete root;
  GLog = nullptr;
  // The owner's own destructor runs first; then B (created last) goes, then A with its child.
  EXPECT_EQ(log, (std::vector<std::string>{"Root", "B", "A", "A1"}));
}

TEST_F(ComponentTest, OwnerIsNotifiedOfInsertAndRemove) {
  std::vector<std::string> log;
  TLogged root(nullptr);
  root.SetName("Root");
  GLog = &log;
  auto* a = new TComponent(&root);
  a->SetName("A");
  auto* b = new TComponent(nullptr);
  b->SetName("B");
  root.InsertComponent(b);
  root.RemoveComponent(a);
  delete a;
  delete b;  // leaves its owner on destruction
  GLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"Root +", "Root +B", "Root -A", "Root -B"}));
}

TEST_F(ComponentTest, NamesAreIdentifiersAndUniquePerOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Button1");
  EXPECT_THROW(b->SetName("button1"), EComponentError);  // case does not make it different
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_THROW(b->SetName("a b"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("Button2");
  EXPECT_EQ(owner.FindComponent("BUTTON2"), b);
  a->SetName("Renamed");
  EXPECT_EQ(owner.FindComponent("Button1"), nullptr);
  EXPECT_EQ(owner.FindComponent("renamed"), a);
  b->SetName("Button1");  // the old name is free again
  TComponent other(nullptr);
  auto* c = new TComponent(&other);
  c->SetName("Renamed");  // another owner may use the same name
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), nullptr);  // the failed insertion left it without owner
  delete c;
}

TEST_F(ComponentTest, DesigningReachesEverythingOwnedAndWhatIsInsertedLater) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* a1 = new TComponent(a);
  owner.SetDesigning(true);
  EXPECT_TRUE(a1->IsDesigning());
  auto* late = new TComponent(a);
  EXPECT_TRUE(late->IsDesigning());
  owner.SetDesigning(false);
  EXPECT_FALSE(a1->IsDesigning());
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_THROW(owner.Components(1), EListError);
}

TEST_F(ComponentTest, FreeNotificationClearsReferencesAndPublishedFields) {
  TTestForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetName("Panel1");
  EXPECT_EQ(form.Panel1, panel);  // the published field follows the name
  auto* label = new TLabel(&form);
  auto* edit = new TEdit(&form);
  label->SetFocusControl(edit);
  delete edit;
  EXPECT_EQ(label->FocusControl(), nullptr);
  delete panel;
  EXPECT_EQ(form.Panel1, nullptr);
}

TEST_F(ComponentTest, DestroyingStateIsSetBeforeChildrenGo) {
  bool sawDestroying = false;
  struct TProbe : TComponent {
    bool* Seen;
    TProbe(TComponent* o, bool* seen) : TComponent(o), Seen(seen) {}
    ~TProbe() override { *Seen = Owner() && Owner()->IsDestroying(); }
  };
  auto* owner = new TComponent(nullptr);
  new TProbe(owner, &sawDestroying);
  delete owner;
  EXPECT_TRUE(sawDestroying);
}

// ---- freeing: notifications while the class is intact -----------------------------------

// Records what it is told about a component being removed, asking what the component is.
class TClassifyingObserver : public TComponent {
 public:
  using TComponent::TComponent;
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != opRemove) return;
    std::string what = dynamic_cast<TButton*>(c)    ? "button"
                       : dynamic_cast<TControl*>(c) ? "control"
                                                    : "component";
    Seen.push_back(c->Name() + " " + what + (c->IsDestroying() ? " destroying" : "") + " owned " +
                   std::to_string(ComponentCount()));
  }
  std::vector<std::string> Seen;
};

TEST_F(ComponentTest, ObserversAndOwnerSeeTheFreedComponentAsWhatItIs) {
  TClassifyingObserver owner(nullptr), watcher(nullptr);
  auto* button = new TButton(&owner);
  button->SetName("B");
  auto* panel = new TPanel(&owner);
  panel->SetName("P");
  auto* plain = new TComponent(&owner);
  plain->SetName("C");
  button->FreeNotification(&watcher);
  delete button;
  delete panel;
  delete plain;
  // Each is told once, still in the owner's list (3, 2, 1 owned), and leaves it afterwards.
  EXPECT_EQ(owner.Seen,
            (std::vector<std::string>{"B button destroying owned 3", "P control destroying owned 2",
                                      "C component destroying owned 1"}));
  EXPECT_EQ(watcher.Seen, (std::vector<std::string>{"B button destroying owned 0"}));
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(ComponentTest, BeforeDestructionRunsOnceBeforeTheDestructors) {
  std::vector<std::string> log;
  struct TOrdered : TComponent {
    std::vector<std::string>* Log;
    TOrdered(TComponent* o, std::vector<std::string>* log) : TComponent(o), Log(log) {}
    void BeforeDestruction() override {
      Log->push_back("before");
      TComponent::BeforeDestruction();
    }
    ~TOrdered() override { Log->push_back("destructor"); }
  };
  TClassifyingObserver owner(nullptr);
  delete new TOrdered(&owner, &log);
  EXPECT_EQ(log, (std::vector<std::string>{"before", "destructor"}));
  EXPECT_EQ(owner.Seen.size(), 1u);
}

TEST_F(ComponentTest, AComponentNotFreedByDeleteStillNotifiesItsOwnerOnce) {
  TClassifyingObserver owner(nullptr);
  {
    TComponent local(&owner);
    local.SetName("L");
  }
  EXPECT_EQ(owner.Seen, (std::vector<std::string>{"L component destroying owned 1"}));
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST_F(ComponentTest, AComponentMovedToAnotherOwnerBeforeItIsFreedNotifiesTheNewOne) {
  TClassifyingObserver first(nullptr), second(nullptr);
  auto* c = new TComponent(&first);
  c->SetName("X");
  second.InsertComponent(c);
  delete c;
  EXPECT_EQ(first.Seen, (std::vector<std::string>{"X component owned 1"}));
  EXPECT_EQ(second.Seen, (std::vector<std::string>{"X component destroying owned 1"}));
}

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

}  // namespace
}  // namespace fwtest

namespace fwtest {
namespace {

// ---- names -------------------------------------------------------------------------------

TEST_F(ComponentTest, ChangingOnlyTheCaseOfANameKeepsTheComponentFindable) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Button1");
  a->SetName("BUTTON1");
  EXPECT_EQ(a->Name(), "BUTTON1");
  EXPECT_EQ(owner.FindComponent("button1"), a);
  auto* b = new TComponent(&owner);
  EXPECT_THROW(b->SetName("Button1"), EComponentError);
}

TEST_F(ComponentTest, UnnamedComponentsDoNotCollideAndUnderscoresAreIdentifierLetters) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  EXPECT_NO_THROW(b->SetName(""));
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  a->SetName("_x9");
  b->SetName("X_");
  EXPECT_THROW(b->SetName("a.b"), EComponentError);
  EXPECT_THROW(b->SetName("x-y"), EComponentError);
  a->SetName("");  // clearing frees the name
  EXPECT_EQ(owner.FindComponent("_x9"), nullptr);
  EXPECT_NO_THROW(b->SetName("_x9"));
}

TEST_F(ComponentTest, AFailedRenameKeepsTheOldNameAndTheIndex) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("A");
  b->SetName("B");
  EXPECT_THROW(b->SetName("a"), EComponentError);
  EXPECT_THROW(b->SetName("9"), EComponentError);
  EXPECT_EQ(b->Name(), "B");
  EXPECT_EQ(owner.FindComponent("B"), b);
  EXPECT_EQ(owner.FindComponent("A"), a);
}

// ---- ownership -------------------------------------------------------------------------------

TEST_F(ComponentTest, AComponentFreedWhileInItsOwnersListLeavesListAndIndex) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  auto* c = new TComponent(&owner);
  b->SetName("B");
  delete b;
  EXPECT_EQ(owner.ComponentCount(), 2);
  EXPECT_EQ(owner.Components(0), a);
  EXPECT_EQ(owner.Components(1), c);
  EXPECT_EQ(c->ComponentIndex(), 1);
  EXPECT_EQ(owner.FindComponent("B"), nullptr);
  auto* again = new TComponent(&owner);
  EXPECT_NO_THROW(again->SetName("B"));
}

TEST_F(ComponentTest, MovingToAnotherOwnerNotifiesBothAndCarriesTheName) {
  std::vector<std::string> log;
  TLogged first(nullptr), second(nullptr);
  first.SetName("First");
  second.SetName("Second");
  auto* c = new TComponent(&first);
  c->SetName("C");
  GLog = &log;
  second.InsertComponent(c);
  GLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"First -C", "Second +C"}));
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.FindComponent("C"), nullptr);
  EXPECT_EQ(second.FindComponent("C"), c);
  EXPECT_EQ(first.ComponentCount(), 0);
}

TEST_F(ComponentTest, AFreedObserverIsForgottenByWhatItWatched) {
  // The label watches the edit; freeing the label first must not leave the edit holding it
  // (the sanitizer build sees a use after free otherwise).
  TComponent owner(nullptr);
  auto* edit = new TEdit(&owner);
  auto* label = new TLabel(&owner);
  auto* label2 = new TLabel(&owner);
  label->SetFocusControl(edit);
  label2->SetFocusControl(edit);
  delete label;
  delete edit;
  EXPECT_EQ(label2->FocusControl(), nullptr);
}

TEST_F(ComponentTest, ComponentsOwnedByAControlButLyingElsewhereGoWithTheirOwner) {
  // A panel owns a label that lies on another panel: freeing the owner frees the label and
  // takes it off its parent's list.
  TForm form(nullptr);
  auto* host = new TPanel(&form);
  host->SetParent(&form);
  auto* owner = new TPanel(&form);
  owner->SetParent(&form);
  auto* label = new TLabel(owner);
  label->SetParent(host);
  ASSERT_EQ(host->ControlCount(), 1);
  delete owner;
  EXPECT_EQ(host->ControlCount(), 0);
}

TEST_F(ComponentTest, ControlsOwnedByTheFormButLyingOnAPanelCreatedLaterAreFreedOnce) {
  // Reverse creation order frees the panel first; it frees the controls that lie on it,
  // and those leave the form's list, so the form does not free them again.
  std::vector<std::string> log;
  auto* form = new TForm(nullptr);
  struct TLoggedLabel : TLabel {
    using TLabel::TLabel;
    ~TLoggedLabel() override {
      if (GLog) GLog->push_back(Name());
    }
  };
  auto* early = new TLoggedLabel(form);
  early->SetName("Early");
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  early->SetParent(panel);
  GLog = &log;
  delete form;
  GLog = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"Early"}));
}

}  // namespace
}  // namespace fwtest
