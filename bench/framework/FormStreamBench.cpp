// Writes and reads back a form of N controls (panels of ten children each: labels, edits,
// buttons, speed buttons, nested panels), reporting the time of each and the peak memory.
//   framework_form_bench [N ...]   (default: 10000 20000)
// Peak memory is per process: run one N per process to compare it across sizes. Each phase
// is timed three times and the best is reported (the machine is shared).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"

using namespace framework;

namespace {

TForm* BuildForm(int n) {
  auto* form = new TForm(nullptr);
  form->SetName("BenchForm");
  form->SetBounds(0, 0, 800, 600);
  int made = 0;
  TPanel* group = nullptr;
  form->DisableAlign();  // as a form being built in code does; aligned once at the end
  for (int i = 0; made < n; ++i) {
    if (i % 10 == 0) {
      group = new TPanel(form);
      group->SetName("Group" + std::to_string(i));
      group->SetParent(form);
      group->SetAlign(alTop);
      group->SetHeight(40);
      ++made;
      continue;
    }
    TControl* c;
    switch (i % 5) {
      case 0: {
        auto* l = new TLabel(form);
        l->SetCaption("Label " + std::to_string(i));
        c = l;
        break;
      }
      case 1: {
        auto* e = new TEdit(form);
        e->SetText("text " + std::to_string(i));
        c = e;
        break;
      }
      case 2: {
        auto* b = new TButton(form);
        b->SetCaption("Go");
        c = b;
        break;
      }
      case 3: {
        auto* s = new TSpeedButton(form);
        s->SetFlat(true);
        c = s;
        break;
      }
      default: {
        auto* p = new TPanel(form);
        p->SetBevelOuter(bvLowered);
        p->SetAlign(alLeft);
        c = p;
      }
    }
    c->SetName("C" + std::to_string(i));
    c->SetParent(group);
    // Labels size themselves to their caption; the others get a size.
    if (dynamic_cast<TLabel*>(c))
      c->SetBounds(i % 10 * 20, 2, c->Width(), c->Height());
    else
      c->SetBounds(i % 10 * 20, 2, 18, 16);
    ++made;
  }
  form->EnableAlign();
  return form;
}

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

long PeakRssKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  RegisterStandardClasses();
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {10000, 20000};
  std::printf("%10s %10s %10s %10s %12s %12s\n", "controls", "build s", "write s", "read s",
              "text bytes", "peak RSS KB");
  for (int n : sizes) {
    if (n <= 0) {
      std::fprintf(stderr, "framework_form_bench: sizes must be positive\n");
      return 1;
    }
    double build = 1e9, write = 1e9, read = 1e9;
    std::string text;
    std::unique_ptr<TComponent> copy;
    for (int round = 0; round < 3; ++round) {
      auto t0 = std::chrono::steady_clock::now();
      std::unique_ptr<TForm> form(BuildForm(n));
      auto t1 = std::chrono::steady_clock::now();
      text = WriteComponentToText(*form);
      auto t2 = std::chrono::steady_clock::now();
      form.reset();
      copy.reset();
      auto t3 = std::chrono::steady_clock::now();
      copy.reset(ReadComponentFromText(text));
      auto t4 = std::chrono::steady_clock::now();
      build = std::min(build, Seconds(t0, t1));
      write = std::min(write, Seconds(t1, t2));
      read = std::min(read, Seconds(t3, t4));
    }
    std::string again = WriteComponentToText(*copy);
    bool same = again == text;
    if (!same && std::getenv("FW_BENCH_DUMP")) {
      FILE* a = std::fopen("/tmp/fw_a.txt", "w"); std::fputs(text.c_str(), a); std::fclose(a);
      FILE* b = std::fopen("/tmp/fw_b.txt", "w"); std::fputs(again.c_str(), b); std::fclose(b);
    }
    std::printf("%10d %10.3f %10.3f %10.3f %12zu %12ld%s\n", copy->ComponentCount(), build, write,
                read, text.size(), PeakRssKb(), same ? "" : "  MISMATCH");
    if (!same) return 1;
  }
  return 0;
}
