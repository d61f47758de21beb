// Message dispatch rate: sent messages (Perform), mouse input delivered to a window and
// routed to a graphic child, and posted messages handled by ProcessMessages, on the
// headless widgetset. Each figure is the best of three rounds (the machine is shared).
//   framework_dispatch_bench [N]   (default: 1000000 messages per kind)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/controls/StdRegister.h"

using namespace framework;

namespace {

double BestRate(int n, const std::function<void(int)>& run) {
  double best = 1e18;
  for (int round = 0; round < 3; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    run(n);
    auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
  }
  return n / best;
}

}  // namespace

int main(int argc, char** argv) {
  RegisterStandardClasses();
  int n = argc > 1 ? std::atoi(argv[1]) : 1000000;
  if (n <= 0) {
    std::fprintf(stderr, "framework_dispatch_bench: the count must be positive\n");
    return 1;
  }
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 300, 200);
  auto* button = new TSpeedButton(&form);
  button->SetParent(panel);
  button->SetBounds(20, 20, 60, 30);
  int moves = 0;
  button->OnMouseMove = TMouseMoveEvent([&moves](TObject*, TShiftState, int, int) { ++moves; });
  THandle h = panel->Handle();

  double perform = BestRate(n, [&](int k) {
    for (int i = 0; i < k; ++i) panel->Perform(WM_USER + 1, i, 0);
  });
  double mouse = BestRate(n, [&](int k) {
    for (int i = 0; i < k; ++i) DeliverMouse(h, WM_MOUSEMOVE, {}, 25 + (i & 7), 30);
  });
  double posted = BestRate(n, [&](int k) {
    for (int done = 0; done < k; done += 1000) {
      for (int i = 0; i < 1000; ++i) PostMessage(panel, WM_USER + 2, i, 0);
      Application().ProcessMessages();
    }
  });
  std::printf("%-28s %14s\n", "kind", "messages/s");
  std::printf("%-28s %14.0f\n", "sent (Perform)", perform);
  std::printf("%-28s %14.0f\n", "mouse move to graphic child", mouse);
  std::printf("%-28s %14.0f\n", "posted and processed", posted);
  return moves > 0 ? 0 : 1;
}
