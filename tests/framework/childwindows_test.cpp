// A container that keeps native windows for only some of its children: showing, hiding,
// re-parenting the container and re-creating its window make no window for the others,
// while asking a child for its handle still makes one.
#include "TestSupport.h"

using namespace framework;

namespace fwtest {
namespace {

using ChildWindowsTest = FrameworkTest;

// Keeps a window only for the child named in Wanted.
class TSelectiveBox : public TCustomPanel {
 public:
  explicit TSelectiveBox(TComponent* owner) : TCustomPanel(owner) {}
  const TWinControl* Wanted = nullptr;

 protected:
  bool ChildNeedsWindow(const TWinControl* child) const override { return child == Wanted; }
};

TEST_F(ChildWindowsTest, AContainerDecidesWhichChildrenGetWindowsWhenShown) {
  TForm form(nullptr), other(nullptr);
  auto* box = new TSelectiveBox(&form);
  box->SetParent(&form);
  auto* kept = new TPanel(&form);
  auto* skipped = new TPanel(&form);
  auto* inner = new TPanel(&form);  // lies in the skipped child
  kept->SetParent(box);
  skipped->SetParent(box);
  inner->SetParent(skipped);
  box->Wanted = kept;
  auto windows = [&] {
    return std::vector<bool>{box->HandleAllocated(), kept->HandleAllocated(),
                             skipped->HandleAllocated(), inner->HandleAllocated()};
  };
  const std::vector<bool> rule{true, true, false, false};

  form.Show();
  EXPECT_EQ(windows(), rule) << "shown";
  box->Hide();
  box->Show();
  EXPECT_EQ(windows(), rule) << "hidden and shown again";
  box->RecreateWnd();
  EXPECT_EQ(windows(), rule) << "window re-created";
  other.Show();
  box->SetParent(&other);
  EXPECT_EQ(windows(), rule) << "re-parented";
  form.Hide();
  other.Hide();
  other.Show();
  EXPECT_EQ(windows(), rule) << "form hidden and shown";

  // Asked for, a skipped child gets its window; the container decides again only for a
  // child that has none.
  skipped->HandleNeeded();
  skipped->UpdateControlState();
  EXPECT_TRUE(skipped->Showing());
  EXPECT_TRUE(inner->HandleAllocated()) << "the children of a shown child follow it";
  box->Wanted = skipped;
  box->RecreateWnd();
  EXPECT_EQ(windows(), (std::vector<bool>{true, false, true, true}));
  box->SetParent(nullptr);
  delete box;
}

}  // namespace
}  // namespace fwtest
