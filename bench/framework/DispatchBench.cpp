// Message dispatch rate: messages sent to a panel (handled before the send returns) and
// messages posted to it and handled by ProcessMessages, some of them carrying a component.
//   framework_dispatch_bench [N]   (default: 2000000)
// Each phase is timed three times and the best is reported (the machine is shared).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"

using namespace framework;

namespace {

class TCounter : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_USER) {
      Count += m.WParam;
      m.Result = 1;
      return;
    }
    TCustomPanel::Dispatch(m);
  }
  long long Count = 0;
};

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 2000000;
  if (n <= 0) {
    std::fprintf(stderr, "framework_dispatch_bench: N must be positive\n");
    return 1;
  }
  TCounter target(nullptr);
  TPanel carried(nullptr);
  double sent = 1e9, posted = 1e9;
  for (int round = 0; round < 3; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    for (long i = 0; i < n; ++i) SendMessage(&target, WM_USER, 1);
    auto t1 = std::chrono::steady_clock::now();
    // Posted in batches of 1000, as a busy loop would see them.
    for (long i = 0; i < n; i += 1000) {
      for (long j = i; j < std::min(n, i + 1000); ++j)
        PostMessage(&target, WM_USER, 1, 0, j % 2 ? &carried : nullptr);
      Application().ProcessMessages();
    }
    auto t2 = std::chrono::steady_clock::now();
    sent = std::min(sent, Seconds(t0, t1));
    posted = std::min(posted, Seconds(t1, t2));
  }
  if (target.Count != 6 * n) {
    std::fprintf(stderr, "framework_dispatch_bench: %lld messages handled, %ld expected\n",
                 target.Count, 6 * n);
    return 1;
  }
  std::printf("%12s %14s %14s\n", "messages", "sent M/s", "posted M/s");
  std::printf("%12ld %14.2f %14.2f\n", n, n / sent / 1e6, n / posted / 1e6);
  return 0;
}
