// Load and save of the profile store with 1, 100 and 1,000 profiles, beside a plain
// write of the same bytes to the same folder: the save's extra cost is the copy of
// the list, the temporary file and the rename. Each is measured without and with
// fsync, so the cost of flushing to disk shows separately. Times are wall-clock (the
// fsync waits are the point). At the end the save/plain throughput ratios are listed.
//
//   storage_bench [--benchmark_filter=...]   folder: $NORVANE_BENCH_DIR, else the temp dir

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "storage/profile_store.h"

using namespace norvane;

namespace {

class NoSyncFileOps : public PosixFileOps {
 public:
  int fsync(int) override { return 0; }
};

std::string bench_folder() {
  static const std::string folder = [] {
    const char* base = std::getenv("NORVANE_BENCH_DIR");
    std::string pattern =
        ((base ? std::filesystem::path(base) : std::filesystem::temp_directory_path()) / "norvane-bench-XXXXXX")
            .string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return folder;
}

ProfileState& page_with(size_t profiles) {
  static std::map<size_t, std::unique_ptr<ProfileState>> pages;
  auto& page = pages[profiles];
  if (!page) {
    page = std::make_unique<ProfileState>();
    for (size_t i = 0; i < profiles; ++i) create_default_profile(page->profiles, u"Profile");
    page->head->selected_profile_index = static_cast<int32_t>(profiles / 2);
  }
  return *page;
}

void count_bytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

// open, write, (fsync), close of the bytes the save writes, over the same file name.
void plain_write(benchmark::State& state, size_t profiles, bool sync) {
  const ProfileState& page = page_with(profiles);
  std::vector<std::byte> image(profile_store_bytes(profiles));
  copy_profile_store_image(*page.head, page.profiles, image);
  const std::string path = bench_folder() + "/plain.data";
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    size_t done = 0;
    while (done < image.size()) {
      const ssize_t n = ::write(fd, image.data() + done, image.size() - done);
      if (n <= 0) state.SkipWithError("write failed");
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (sync) ::fsync(fd);
    ::close(fd);
  }
  count_bytes(state, image.size());
}

void save(benchmark::State& state, size_t profiles, bool sync) {
  ProfileState& page = page_with(profiles);
  NoSyncFileOps no_sync;
  for (auto _ : state) {
    if (!save_profile_store(page, bench_folder(), sync ? nullptr : &no_sync)) state.SkipWithError("save failed");
  }
  count_bytes(state, profile_store_bytes(profiles));
}

void load(benchmark::State& state, size_t profiles) {
  NoSyncFileOps no_sync;
  save_profile_store(page_with(profiles), bench_folder(), &no_sync);
  for (auto _ : state) {
    ProfileState page;
    const LoadResult result = load_profile_store(page, bench_folder(), u"Profile", {&no_sync, 0});
    if (result.outcome != LoadOutcome::loaded || page.profiles.size() != profiles) state.SkipWithError("load failed");
  }
  count_bytes(state, profile_store_bytes(profiles));
}

// Disk times vary from run to run: the median of five runs of at least a second.
void measured(benchmark::internal::Benchmark* b) {
  b->UseRealTime()->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);
}

// The console table, then the save/plain throughput ratio of each size.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        seconds_[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nsave throughput as a share of the plain write's (same bytes, same folder):\n");
    for (const auto& [name, seconds] : seconds_) {
      if (name.rfind("save", 0) != 0) continue;
      const std::string plain = "plain_write" + name.substr(4);
      if (auto it = seconds_.find(plain); it != seconds_.end())
        std::printf("  %-28s %5.0f %%\n", name.c_str(), 100.0 * it->second / seconds);
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  for (size_t profiles : {size_t{1}, size_t{100}, size_t{1000}}) {
    const std::string n = "/" + std::to_string(profiles);
    for (bool sync : {false, true}) {
      const std::string flush = sync ? "_fsync" : "_no_fsync";
      measured(benchmark::RegisterBenchmark(("plain_write" + flush + n).c_str(), plain_write, profiles, sync));
      measured(benchmark::RegisterBenchmark(("save" + flush + n).c_str(), save, profiles, sync));
    }
    measured(benchmark::RegisterBenchmark(("load" + n).c_str(), load, profiles));
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(bench_folder(), ec);
  return 0;
}
