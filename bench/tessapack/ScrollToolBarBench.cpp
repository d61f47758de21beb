// A scrolling toolbar of 1,000 controls (buttons, panels and edits) on the headless
// widgetset: the time to fill it, the layout time on a resize, and the time of one scroll
// step (forward, back, and forward round a circular toolbar).
//   scrolltoolbar_bench [STEPS]   (default: 2000 resizes and 2000 scroll steps)
// Each measurement is taken three times and the best is reported (the machine is shared).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/Package.h"
#include "tessapack/ScrollToolBar.h"

using namespace framework;
using tessapack::TScrollToolBar;

namespace {

constexpr int kControls = 1000;

double Seconds(const std::function<void()> &work) {
  double best = 1e30;
  for (int round = 0; round < 3; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    best = std::min(best,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

struct TBench {
  std::unique_ptr<TForm> Form;
  TScrollToolBar *Bar = nullptr;

  void Fill(bool circular) {
    Form.reset();
    Application().Reset();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 1024, 200);
    Bar = new TScrollToolBar(Form.get());
    Bar->SetCircularScroll(circular);
    Bar->SetParent(Form.get());
    Bar->SetBounds(0, 0, 800, 30);
    Bar->SetMinCompSize(40);
    Form->Show();
    for (int i = 0; i < kControls; ++i) {
      TControl *c = nullptr;
      switch (i % 3) {
      case 0:
        c = new TSpeedButton(Form.get());
        break;
      case 1:
        c = new TPanel(Form.get());
        break;
      default:
        c = new TEdit(Form.get());
        break;
      }
      c->SetName("C" + std::to_string(i));
      c->SetParent(Bar);
    }
    Application().ProcessMessages();
  }
};

} // namespace

int main(int argc, char **argv) {
  const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  RegisterStandardClasses();
  tessapack::Register();
  TBench bench;

  const double fill = Seconds([&] { bench.Fill(false); });
  if (bench.Bar->CompCount() != kControls || bench.Bar->RingCount() != kControls) {
    std::fprintf(stderr, "scrolltoolbar_bench: %d controls, %d in the ring\n",
                 bench.Bar->CompCount(), bench.Bar->RingCount());
    return 1;
  }
  const int shown = bench.Bar->GetVisible();

  const double resize = Seconds([&] {
    for (int i = 0; i < steps; ++i)
      bench.Bar->SetWidth(i % 2 ? 800 : 760);
  });
  const double forward = Seconds([&] {
    bench.Bar->SetStart(bench.Form->FindComponent("C0")
                            ? static_cast<TControl *>(bench.Form->FindComponent("C0"))
                            : nullptr);
    for (int i = 0; i < steps; ++i)
      bench.Bar->Scroll(tessapack::scRight);
  });
  const double back = Seconds([&] {
    for (int i = 0; i < steps; ++i)
      bench.Bar->Scroll(tessapack::scLeft);
  });
  bench.Fill(true);
  const double circular = Seconds([&] {
    for (int i = 0; i < steps; ++i)
      bench.Bar->Scroll(tessapack::scRight);
  });
  if (bench.Bar->StartControl() == nullptr)
    return 1;

  std::printf("scrolling toolbar, %d controls (%d shown at 800 px), best of 3:\n", kControls,
              shown);
  std::printf("  fill (insert all, handle the posted messages): %8.1f ms\n", fill * 1e3);
  std::printf("  layout on resize:                             %8.1f us\n", resize / steps * 1e6);
  std::printf("  scroll step forward:                          %8.1f us\n", forward / steps * 1e6);
  std::printf("  scroll step back:                             %8.1f us\n", back / steps * 1e6);
  std::printf("  scroll step forward, circular:                %8.1f us\n", circular / steps * 1e6);
  bench.Form.reset();
  Application().Reset();
  return 0;
}
