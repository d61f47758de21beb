// A multi-pane with a stack of 255 panes (each holding a panel, an edit and a button), two
// of them resident: the time of one front-pane switch, and the native windows alive after
// every switch, which must never exceed the front pane's and the resident panes' (with
// their controls) plus the container's own.
//   multipane_bench [--qt] [SWITCHES]   (default: 2000 switches; --qt: the Qt widgetset
//                                        under the offscreen platform, when built with Qt)
// Each run is timed three times and the best is reported (the machine is shared).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tessapack/MultiPane.h"
#include "tessapack/Package.h"

#ifdef MULTIPANE_BENCH_QT
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "framework/widgetset/qt/QtWidgetSet.h"
#endif

using namespace framework;
using tessapack::TMultiPane;
using tessapack::TSinglePane;

namespace {

constexpr int kPanes = 255;

bool GQt = false;

// Lets the widgetset catch up, native widgets deleted later included.
void Settle() {
  Application().ProcessMessages();
#ifdef MULTIPANE_BENCH_QT
  if (GQt) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
#endif
}

// The native windows alive: Qt widgets, or the headless widgetset's records.
size_t LiveWindows() {
#ifdef MULTIPANE_BENCH_QT
  if (GQt) return static_cast<size_t>(QApplication::allWidgets().size());
#endif
  return Headless() ? Headless()->WindowCount() : 0;
}

int WindowedPanes(const TMultiPane* mp) {
  int n = 0;
  for (int i = 0; i < mp->GetCount(); ++i) n += mp->GetPane(i)->HandleAllocated() ? 1 : 0;
  return n;
}

TMultiPane* Build(TForm& form) {
  form.SetBounds(0, 0, 640, 480);
  auto* mp = new TMultiPane(&form);
  mp->SetName("Stack");
  mp->SetParent(&form);
  mp->SetAlign(alClient);
  while (mp->GetCount() < kPanes) mp->AddPane();
  for (int i = 0; i < kPanes; ++i) {
    TSinglePane* pane = mp->GetPane(i);
    auto* panel = new TPanel(&form);
    panel->SetBounds(10, 10, 200, 60);
    panel->SetCaption("Pane " + std::to_string(i));
    panel->SetParent(pane);
    auto* edit = new TEdit(&form);
    edit->SetBounds(10, 80, 200, 21);
    edit->SetText("Text " + std::to_string(i));
    edit->SetParent(pane);
    auto* button = new TButton(&form);
    button->SetBounds(10, 110, 80, 25);
    button->SetCaption("Go");
    button->SetParent(pane);
  }
  return mp;
}

}  // namespace

int main(int argc, char** argv) {
  int switches = 2000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--qt") == 0)
      GQt = true;
    else
      switches = std::max(1, std::atoi(argv[i]));
  }
#ifdef MULTIPANE_BENCH_QT
  if (GQt) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SetWidgetset(std::make_unique<TQtWidgetSet>(argc, argv));
  }
#else
  if (GQt) {
    std::fprintf(stderr, "multipane_bench: built without Qt\n");
    return 1;
  }
#endif
  tessapack::Register();
  auto form = std::make_unique<TForm>(nullptr);
  TMultiPane* mp = Build(*form);
  form->Show();
  Settle();
  // The native windows of one pane with its controls, from the count with one windowed
  // pane and with two.
  const size_t one = LiveWindows();
  mp->SetResource(tessapack::TPanes().set(0).set(1));
  Settle();
  const size_t perPane = LiveWindows() - one;
  const size_t base = one - perPane;        // the form's and the container's own
  const size_t limit = base + 3 * perPane;  // front pane and two residents
  double best = 1e30;
  size_t maxLive = 0;
  int maxPanes = 0;
  for (int round = 0; round < 3; ++round) {
    auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < switches; ++k) {
      mp->SetTop((k * 97 + round) % kPanes);  // jumps about the stack
      Settle();
    }
    double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                    .count() /
                switches;
    best = std::min(best, us);
  }
  // The same switches again, counting the windows after each.
  for (int k = 0; k < std::min(switches, 600); ++k) {
    mp->SetTop((k * 89) % kPanes);
    Settle();
    maxLive = std::max(maxLive, LiveWindows());
    maxPanes = std::max(maxPanes, WindowedPanes(mp));
  }
  std::printf("widgetset:                 %s\n", GQt ? "Qt (offscreen)" : "headless");
  std::printf(
      "panes:                     %d (2 resident), %zu native windows each with "
      "their controls\n",
      kPanes, perPane);
  std::printf("front-pane switch:         %.1f us (best of 3 x %d switches)\n", best, switches);
  std::printf("panes with windows (max):  %d (front + residents = 3)\n", maxPanes);
  std::printf("live native windows (max): %zu (limit %zu: form and container %zu, 3 panes x %zu)\n",
              maxLive, limit, base, perPane);
  std::printf("all panes windowed:        %zu\n", base + static_cast<size_t>(kPanes) * perPane);
  form.reset();
  Settle();
  std::fflush(stdout);
  SetWidgetset(nullptr);  // Qt goes before the program's static objects
  return maxLive <= limit && maxPanes <= 3 ? 0 : 2;
}
