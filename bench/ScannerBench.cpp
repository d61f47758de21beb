// scanner_bench [ROUNDS]
//
// Scans every .pas/.pp/.inc file of the corpus (warm cache) and compares the
// scanner's speed with simply reading the same files through a buffer of the
// same size as the scanner's (64 KiB). Each figure is the best of ROUNDS
// rounds (default 5).
#include "codeweft/core/lex/Scanner.h"

#include "tests/codeweft/corpus/Corpus.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using namespace codeweft;
using TClock = std::chrono::steady_clock;

namespace {

// Reads every file to its end; returns the bytes read.
long long ReadAll(const std::vector<std::string> &Files, unsigned &Sink) {
  static char Buf[64 * 1024];
  long long Bytes = 0;
  for (const std::string &F : Files) {
    const int Fd = ::open(F.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) continue;
    ssize_t N;
    while ((N = ::read(Fd, Buf, sizeof Buf)) > 0) {
      Bytes += N;
      Sink += static_cast<unsigned char>(Buf[N - 1]);
    }
    ::close(Fd);
  }
  return Bytes;
}

// Scans every file until the scanner stops; returns the bytes of all tokens.
long long ScanAll(const std::vector<std::string> &Files, long long &Tokens) {
  TScanner Scanner;
  TToken Token;
  long long Bytes = 0;
  for (const std::string &F : Files) {
    Scanner.Open(F);
    while (Scanner.NextToken(Token) == scToken) {
      Bytes += static_cast<long long>(Token.Text.size());
      ++Tokens;
    }
    Scanner.Close();
  }
  return Bytes;
}

double CpuNow() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return static_cast<double>(T.tv_sec) + T.tv_nsec / 1e9;
}

// Best wall-clock time and best processor time (user + system) of the runs.
// The processor time is the steadier figure on a shared machine.
struct TTimes {
  double Wall = 1e30, Cpu = 1e30;
  template <class F> void Time(F Run) {
    const auto T0 = TClock::now();
    const double C0 = CpuNow();
    Run();
    Cpu = std::min(Cpu, CpuNow() - C0);
    Wall = std::min(Wall, std::chrono::duration<double>(TClock::now() - T0).count());
  }
};

} // namespace

int main(int argc, char **argv) {
  const int Rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const auto Root = test::CorpusRoot();
  if (Root.empty()) {
    std::fprintf(stderr, "scanner_bench: no corpus (install fpc-source or set CODEWEFT_CORPUS)\n");
    return 1;
  }
  const std::vector<std::string> Files = test::CorpusFiles(Root);
  unsigned Sink = 0;
  long long FileBytes = ReadAll(Files, Sink); // warms the cache
  long long Tokens = 0, Scanned = 0;

  // Reading and scanning take turns, so that both meet the same load from
  // whatever else runs on the machine.
  TTimes Read, Scan;
  for (int i = 0; i < Rounds; ++i) {
    Read.Time([&] { FileBytes = ReadAll(Files, Sink); });
    Scan.Time([&] {
      Tokens = 0;
      Scanned = ScanAll(Files, Tokens);
    });
  }

  std::printf("corpus: %s, %zu files, %.1f MB (%.1f MB up to the scanners' stops, %lld tokens)\n",
              Root.c_str(), Files.size(), FileBytes / 1e6, Scanned / 1e6, Tokens);
  std::printf("best of %d            wall clock      processor time\n", Rounds);
  std::printf("read:            %8.1f MB/s       %8.1f MB/s\n", FileBytes / 1e6 / Read.Wall,
              FileBytes / 1e6 / Read.Cpu);
  std::printf("scanner:         %8.1f MB/s       %8.1f MB/s\n", Scanned / 1e6 / Scan.Wall,
              Scanned / 1e6 / Scan.Cpu);
  std::printf("seconds: read %.3f / %.3f, scanner %.3f / %.3f\n", Read.Wall, Read.Cpu, Scan.Wall,
              Scan.Cpu);
  std::printf("ns per token:    %8.2f            %8.2f\n", Scan.Wall / Tokens * 1e9,
              Scan.Cpu / Tokens * 1e9);
  std::printf("scanner / read:  %8.2f            %8.2f   (target at least 0.33)%s\n",
              (Scanned / Scan.Wall) / (FileBytes / Read.Wall),
              (Scanned / Scan.Cpu) / (FileBytes / Read.Cpu), Sink == 12345 ? " " : "");
  return 0;
}
