// A menu bar of 64 buttons, each panel holding a label, on the headless widgetset: the
// layout time on a resize (normal mode, and across the switch to compact mode and back),
// and the time of one motion without pacing (animation off), dropping and raising the
// stacks below the first button.
//   menubar_bench [STEPS]   (default: 2000 resizes and 500 motions)
// Each measurement is taken three times and the best is reported (the machine is shared).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/MenuBar.h"
#include "tessapack/Package.h"

using namespace framework;
using tessapack::TMenuBar;

namespace {

constexpr int kButtons = 64;

double Seconds(const std::function<void()>& work) {
  double best = 1e30;
  for (int round = 0; round < 3; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    best = std::min(best,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  const int motions = std::max(2, steps / 4);
  RegisterStandardClasses();
  tessapack::Register();
  Application().SetAnimate(false);

  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 400, 2000);
  auto* bar = new TMenuBar(form.get());
  bar->SetName("MenuBar1");
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, 160, 1900);
  form->Show();
  const double fill = Seconds([&] {
    while (bar->GetCount() > 0) bar->DeleteButton(bar->GetCount() - 1);
    for (int i = 0; i < kButtons; ++i) {
      bar->CreateButton()->SetCaption("Button number " + std::to_string(i));
      auto* label = new TLabel(form.get());
      label->SetCaption("Panel " + std::to_string(i));
      label->SetParent(bar->GetPanel(i));
    }
  });
  Application().ProcessMessages();

  // Heights above 64 x 22 + 16 = 1424 stay in normal mode.
  const double resize = Seconds([&] {
    for (int i = 0; i < steps; ++i) bar->SetBounds(0, 0, 160 + i % 40, 1500 + i % 300);
  });
  const double compact = Seconds([&] {
    for (int i = 0; i < steps; ++i) bar->SetBounds(0, 0, 160, i % 2 ? 1800 : 600);
  });
  bar->SetBounds(0, 0, 160, 1900);

  int passes = 0;
  const double motion = Seconds([&] {
    for (int i = 0; i < motions; ++i) {
      bar->GetButton(i % 2 ? kButtons - 1 : 0)->Click();
      passes = std::max(passes, bar->Buttons().LastPasses());
    }
  });
  if (bar->GetActiveIndex() != kButtons - 1 || passes == 0) {
    std::fprintf(stderr, "menubar_bench: the motions did not run (active %d)\n",
                 bar->GetActiveIndex());
    return 1;
  }
  std::printf("menu bar of %d buttons\n", kButtons);
  std::printf("  fill:                 %8.2f ms\n", fill * 1e3);
  std::printf("  layout on resize:     %8.2f us  (%d resizes)\n", resize / steps * 1e6, steps);
  std::printf("  resize into/out of compact mode: %8.2f us\n", compact / steps * 1e6);
  std::printf("  one motion, unpaced:  %8.2f us  (%d passes, 63 buttons moving)\n",
              motion / motions * 1e6, passes);
  return 0;
}
