// Popup menus: items and sub-items, Popup at a point, choosing items in the headless
// widgetset, freeing, and storing with a form.
#include "framework/controls/Menus.h"

#include "TestSupport.h"
#include "framework/base/Exceptions.h"

using namespace framework;

namespace fwtest {
namespace {

using MenuTest = FrameworkTest;

TMenuItem* AddItem(TMenuItem& parent, TComponent* owner, const std::string& caption,
                   std::vector<std::string>* clicks = nullptr) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (clicks)
    item->OnClick = TNotifyEvent([clicks, caption](TObject*) { clicks->push_back(caption); });
  parent.Add(item);
  return item;
}

TEST_F(MenuTest, PopupShowsTheVisibleItemsAtThePointAndAChosenItemClicks) {
  std::vector<std::string> clicks;
  TPopupMenu menu(nullptr);
  menu.SetName("Context");
  AddItem(menu.Items(), &menu, "Open", &clicks);
  AddItem(menu.Items(), &menu, "-");
  AddItem(menu.Items(), &menu, "Save", &clicks)->SetEnabled(false);
  AddItem(menu.Items(), &menu, "Secret", &clicks)->SetVisible(false);
  TMenuItem* edit = AddItem(menu.Items(), &menu, "Edit", &clicks);
  AddItem(*edit, &menu, "Copy", &clicks);
  int popups = 0;
  menu.OnPopup = TNotifyEvent([&](TObject*) { ++popups; });

  menu.Popup(120, 45);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu.PopupPoint(), (TPoint{120, 45}));
  EXPECT_EQ(WS().MenuLog(),
            (std::vector<std::string>{"Context at 120,45: Open | - | Save (disabled) | Edit"}));
  EXPECT_TRUE(clicks.empty());  // nothing is chosen by showing
  EXPECT_TRUE(WS().ChooseMenuItem("open"));
  EXPECT_EQ(WS().OpenMenu(), nullptr);  // choosing closes it
  EXPECT_FALSE(WS().ChooseMenuItem("Open"));

  struct TCase {
    std::string Path;
    bool Chosen;
    bool StaysOpen;
  };
  for (const TCase& c :
       {TCase{"Save", false, false}, TCase{"Secret", false, true}, TCase{"Nothing", false, true},
        TCase{"Edit|Copy", true, false}, TCase{"Edit|Paste", false, true}}) {
    menu.Popup(0, 0);
    EXPECT_EQ(WS().ChooseMenuItem(c.Path), c.Chosen) << c.Path;
    EXPECT_EQ(WS().OpenMenu() != nullptr, c.StaysOpen) << c.Path;
  }
  EXPECT_EQ(clicks, (std::vector<std::string>{"Open", "Copy"}));
}

TEST_F(MenuTest, ItemsKeepTheirOrderMoveBetweenParentsAndAreFreedWithTheirParent) {
  TPopupMenu menu(nullptr);
  TMenuItem& root = menu.Items();
  TMenuItem* a = AddItem(root, &menu, "A");
  TMenuItem* c = AddItem(root, &menu, "C");
  auto* b = new TMenuItem(&menu);
  b->SetCaption("B");
  root.Insert(1, b);
  EXPECT_EQ(root.IndexOf(b), 1);
  EXPECT_EQ(root.Find("c"), c);
  EXPECT_THROW(root.Items(3), EListError);
  EXPECT_THROW(root.Insert(9, new TMenuItem(&menu)), EListError);
  EXPECT_THROW(a->Add(a), EInvalidOperation);
  TMenuItem* a1 = AddItem(*a, &menu, "A1");
  EXPECT_THROW(a1->Add(a), EInvalidOperation);  // no cycles

  c->Add(a1);  // moves
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(a1->Parent(), c);
  int owned = menu.ComponentCount();
  delete c;  // with its sub-item
  EXPECT_EQ(root.Count(), 2);
  EXPECT_EQ(menu.ComponentCount(), owned - 2);
  root.Delete(0);
  ASSERT_EQ(root.Count(), 1);
  EXPECT_EQ(root.Items(0), b);
}

TEST_F(MenuTest, FreeingTheShownMenuClosesItAndForgetsThePopupComponent) {
  auto* menu = new TPopupMenu(nullptr);
  AddItem(menu->Items(), menu, "Open");
  auto* panel = new TPanel(nullptr);
  menu->SetPopupComponent(panel);
  menu->Popup(1, 2);
  delete panel;
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  ASSERT_EQ(WS().OpenMenu(), menu);
  delete menu;
  EXPECT_EQ(WS().OpenMenu(), nullptr);
  EXPECT_FALSE(WS().ChooseMenuItem("Open"));
}

TEST_F(MenuTest, AMenuIsStoredWithItsItemsAndReadBackWithTheirEvents) {
  TTestForm form(nullptr);
  form.SetName("Form1");
  auto* menu = new TPopupMenu(&form);
  menu->SetName("Popup");
  TMenuItem* open = AddItem(menu->Items(), menu, "&Open");
  open->SetName("Open");
  open->OnClick = TNotifyEvent(&form, &TTestForm::Button1Click);
  TMenuItem* more = AddItem(menu->Items(), menu, "More");
  more->SetName("More");
  more->SetEnabled(false);
  TMenuItem* deep = AddItem(*more, menu, "Deep");
  deep->SetName("Deep");
  std::string text = WriteComponentToText(form);
  EXPECT_NE(text.find("  object Popup: TPopupMenu\n"
                      "    object Open: TMenuItem\n"
                      "      Caption = '&Open'\n"
                      "      OnClick = Button1Click\n"
                      "    end\n"
                      "    object More: TMenuItem\n"
                      "      Caption = 'More'\n"
                      "      Enabled = False\n"
                      "      object Deep: TMenuItem\n"
                      "        Caption = 'Deep'\n"
                      "      end\n"
                      "    end\n"
                      "  end\n"),
            std::string::npos)
      << text;

  std::unique_ptr<TComponent> copy(ReadComponentFromText(text));
  EXPECT_EQ(WriteComponentToText(*copy), text);
  auto* readMenu = dynamic_cast<TPopupMenu*>(copy->FindComponent("Popup"));
  ASSERT_NE(readMenu, nullptr);
  ASSERT_EQ(readMenu->Items().Count(), 2);
  EXPECT_EQ(readMenu->Items().Items(1)->Items(0)->Caption(), "Deep");
  readMenu->Popup(5, 5);
  EXPECT_TRUE(WS().ChooseMenuItem("&Open"));
  EXPECT_EQ(static_cast<TTestForm*>(copy.get())->Clicks, 1);
}

}  // namespace
}  // namespace fwtest
