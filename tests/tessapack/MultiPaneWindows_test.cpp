// Native windows: at run time only the front pane and the resident panes hold one, however
// the multi-pane comes to be shown; at design time every pane has one.
#include <functional>

#include "MultiPaneFixture.h"

namespace tessapack::test {
namespace {

using namespace framework;

using MultiPaneWindows = MultiPaneFixture;

TEST_F(MultiPaneWindows, AResidentPaneKeepsItsWindowWhenAnotherComesToTheFront) {
  Make(3);
  Paint();
  TPanes resident;
  resident.set(0);
  Mp->SetResource(resident);
  Mp->SetTop(2);
  EXPECT_TRUE(Mp->GetPane(0)->HandleAllocated());
  EXPECT_FALSE(Mp->GetPane(1)->HandleAllocated());
  EXPECT_TRUE(Mp->GetPane(2)->HandleAllocated());
  EXPECT_TRUE(Mp->GetPane(2)->Showing());
  // Taken out of the resident set, it gives its window up at once.
  Mp->SetResource(TPanes());
  EXPECT_EQ(Windowed(Mp), std::set<int>{2});
  // Made resident, a pane gets its window at once, with the controls in it.
  auto* edit = new TEdit(Form.get());
  edit->SetParent(Mp->GetPane(1));
  Mp->SetResource(TPanes().set(1));
  EXPECT_EQ(Windowed(Mp), (std::set<int>{1, 2}));
  EXPECT_TRUE(edit->HandleAllocated());
}

// Five panes, panes 1 and 3 resident, pane 2 in front: whatever happens to the multi-pane,
// exactly those three panes hold windows, and the headless widgetset holds no others.
TEST_F(MultiPaneWindows, OnlyTheFrontAndResidentPanesHoldWindows) {
  TForm other(nullptr);
  other.SetBounds(0, 0, 400, 300);
  other.Show();
  const std::set<int> rule{1, 2, 3};
  struct Step {
    const char* what;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"first paint", [] {}},
      {"hidden and shown",
       [&] {
         Mp->Hide();
         Mp->Show();
       }},
      {"window re-created", [&] { Mp->RecreateWnd(); }},
      {"re-parented", [&] { Mp->SetParent(&other); }},
      {"re-parented back", [&] { Mp->SetParent(Form.get()); }},
      {"form hidden and shown",
       [&] {
         Form->Hide();
         Form->Show();
       }},
      {"a pane added", [&] { Mp->AddPane(); }},
      {"a pane moved", [&] { Mp->Move(5, 4); }},
  };
  Make(5);
  Mp->SetResource(TPanes().set(1).set(3));
  Mp->SetTop(2);
  const size_t base = Headless()->WindowCount() - 3;  // the form's and the other form's windows
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.run();
    Paint();
    EXPECT_EQ(Windowed(Mp), rule);
    EXPECT_TRUE(Mp->GetTopPane()->Showing());
    EXPECT_EQ(Front(Mp), Mp->GetTopPane());
    EXPECT_EQ(Headless()->WindowCount(), base + rule.size());
  }
  Mp->SetParent(nullptr);
  EXPECT_EQ(Windowed(Mp), std::set<int>{}) << "off any parent, no windows at all";
  Mp->SetParent(Form.get());
}

TEST_F(MultiPaneWindows, SwitchingTheFrontPaneMovesTheWindow) {
  Make(4);
  Paint();
  for (int i : {3, 1, 0, 2}) {
    Mp->SetTop(i);
    EXPECT_EQ(Windowed(Mp), std::set<int>{i});
    EXPECT_TRUE(Mp->GetPane(i)->Showing());
    EXPECT_EQ(Headless()->Window(Mp->GetPane(i)->Handle())->Bounds, Bounds(1, 1, 298, 198));
  }
}

TEST_F(MultiPaneWindows, AtDesignTimeEveryPaneHasAWindow) {
  Make(3, true);
  Paint();
  Mp->SetTop(2);
  EXPECT_EQ(Windowed(Mp), (std::set<int>{0, 1, 2}));
  Mp->Hide();
  Mp->Show();
  Mp->RecreateWnd();
  EXPECT_EQ(Windowed(Mp), (std::set<int>{0, 1, 2}));
  EXPECT_EQ(Mp->GetTop(), 2);
}

}  // namespace
}  // namespace tessapack::test
