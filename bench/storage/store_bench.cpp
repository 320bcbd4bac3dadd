// Load and save of the profile store with 1, 100, 200 and 1,000 profiles, beside a
// plain write of the same bytes to the same folder (open, write, fsync, close): the
// save's extra cost is the copy of the list, the temporary file, the rename and the
// flush of the folder. Each is measured without and with fsync, so the cost of
// flushing to disk shows separately. Every timed save changes one profile first, so
// it has something to write; `save_unchanged` saves a list that matches the file and
// `save_fsync_folder_unflushed` leaves out only the folder's flush after the rename,
// to show that flush's share. Times are wall-clock (the fsync waits are the point).
//
// Counters: `written/save` bytes written per save and `fsyncs/save` (both from the
// file-system calls the save makes), `kept_MB` memory still resident after the saves
// that was not before them (a store image that outlives its save shows up here).
// At the end a summary lists the save/plain time ratios per size.
//
//   storage_bench [--benchmark_filter=...]   folder: $NORVANE_BENCH_DIR, else the temp dir

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "storage/profile_store.h"

using namespace norvane;

namespace {

constexpr size_t kSizes[] = {1, 100, 200, 1000};

// The real calls, counting what a save writes and flushes. `sync` false leaves every
// fsync out; `flush_folders` false leaves out only the flush of a folder.
class CountingFileOps : public PosixFileOps {
 public:
  CountingFileOps(bool sync, bool flush_folders) : sync_(sync), flush_folders_(flush_folders) {}

  int open(const char* path, int flags, mode_t mode) override {
    const int fd = PosixFileOps::open(path, flags, mode);
    if (fd >= 0 && (flags & O_DIRECTORY)) folders_.insert(fd);
    return fd;
  }
  ssize_t write(int fd, const void* data, size_t size) override {
    const ssize_t n = PosixFileOps::write(fd, data, size);
    if (n > 0) written += static_cast<size_t>(n);
    return n;
  }
  int fsync(int fd) override {
    const bool folder = folders_.count(fd) != 0;
    if (!sync_ || (folder && !flush_folders_)) return 0;
    ++fsyncs;
    return PosixFileOps::fsync(fd);
  }
  int close(int fd) override {
    folders_.erase(fd);
    return PosixFileOps::close(fd);
  }

  size_t written = 0;
  size_t fsyncs = 0;

 private:
  bool sync_;
  bool flush_folders_;
  std::set<int> folders_;
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

// Each size saves into a folder of its own, so one size's file never stands in for
// another's.
std::string store_folder(size_t profiles) { return bench_folder() + "/" + std::to_string(profiles); }

ProfileState& page_with(size_t profiles) {
  static std::map<size_t, std::unique_ptr<ProfileState>> pages;
  auto& page = pages[profiles];
  if (!page) {
    page = std::make_unique<ProfileState>();
    for (size_t i = 0; i < profiles; ++i) create_default_profile(page->profiles, u"Profile");
    page->head->selected_profile_index = static_cast<int32_t>(profiles / 2);
    page->select_current_unlocked();
  }
  return *page;
}

// One edit of the current profile, as an apply would make before it saves.
void edit_current(ProfileState& page) {
  page.edit_current([](ProfileRecord& record) { record.name[0] = record.name[0] == u'P' ? u'Q' : u'P'; });
}

// Resident memory of the process in bytes.
double resident_bytes() {
  std::ifstream statm("/proc/self/statm");
  long pages_total = 0, pages_resident = 0;
  statm >> pages_total >> pages_resident;
  return static_cast<double>(pages_resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

void count_bytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["MB/s"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                              benchmark::Counter::kIsIterationInvariantRate);
}

void count_calls(benchmark::State& state, const CountingFileOps& ops) {
  const double saves = static_cast<double>(state.iterations());
  state.counters["written/save"] = static_cast<double>(ops.written) / saves;
  state.counters["fsyncs/save"] = static_cast<double>(ops.fsyncs) / saves;
}

// open, write, (fsync), close of the bytes the save writes, over the same file name.
void plain_write(benchmark::State& state, size_t profiles, bool sync) {
  const ProfileState& page = page_with(profiles);
  std::vector<std::byte> image(profile_store_bytes(profiles));
  copy_profile_store_image(*page.head, page.profiles, image);
  std::filesystem::create_directories(store_folder(profiles));
  const std::string path = store_folder(profiles) + "/plain.data";
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

// A save of a list with one profile changed since the last save.
void save(benchmark::State& state, size_t profiles, bool sync, bool flush_folders) {
  ProfileState& page = page_with(profiles);
  CountingFileOps ops(sync, flush_folders);
  const double resident_before = resident_bytes();
  for (auto _ : state) {
    edit_current(page);
    if (!save_profile_store(page, store_folder(profiles), &ops)) state.SkipWithError("save failed");
  }
  state.counters["kept_MB"] = (resident_bytes() - resident_before) / 1e6;
  count_bytes(state, profile_store_bytes(profiles));
  count_calls(state, ops);
}

// A save of a list that is byte for byte what the last save wrote.
void save_unchanged(benchmark::State& state, size_t profiles) {
  ProfileState& page = page_with(profiles);
  CountingFileOps setup(false, false);
  if (!save_profile_store(page, store_folder(profiles), &setup)) state.SkipWithError("save failed");
  CountingFileOps ops(true, true);
  for (auto _ : state) {
    if (!save_profile_store(page, store_folder(profiles), &ops)) state.SkipWithError("save failed");
  }
  count_calls(state, ops);
}

void load(benchmark::State& state, size_t profiles) {
  CountingFileOps no_sync(false, false);
  save_profile_store(page_with(profiles), store_folder(profiles), &no_sync);
  for (auto _ : state) {
    ProfileState page;
    const LoadResult result = load_profile_store(page, store_folder(profiles), u"Profile", {&no_sync, 0});
    if (result.outcome != LoadOutcome::loaded || page.profiles.size() != profiles) state.SkipWithError("load failed");
  }
  count_bytes(state, profile_store_bytes(profiles));
}

// Disk times vary from run to run: the median of five runs of at least a second.
void measured(benchmark::internal::Benchmark* b) {
  b->UseRealTime()->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);
}

// The console table, then per size the save/plain ratios and the other rows' medians.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median") continue;
      Median& median = medians_[run.run_name.function_name];
      median.ms = run.GetAdjustedRealTime() / 1e6;  // the time unit is ns
      for (const auto& [name, counter] : run.counters) median.counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nmedians in ms; ratio = save time / plain write time of the same bytes\n");
    std::printf("%9s | %8s %8s %6s | %8s %8s %6s | %12s %6s | %8s %10s | %8s\n", "profiles", "plain", "save",
                "ratio", "plain+fs", "save+fs", "ratio", "no folder fs", "share", "unchgd", "written", "load");
    for (size_t profiles : kSizes) {
      const std::string n = "/" + std::to_string(profiles);
      if (ms("save_fsync" + n) == 0) continue;  // filtered out
      const double plain = ms("plain_write_no_fsync" + n), saved = ms("save_no_fsync" + n);
      const double plain_sync = ms("plain_write_fsync" + n), saved_sync = ms("save_fsync" + n);
      const double unflushed = ms("save_fsync_folder_unflushed" + n);
      std::printf("%9zu | %8.3f %8.3f %6.2f | %8.3f %8.3f %6.2f | %12.3f %5.0f%% | %8.3f %10.0f | %8.3f\n", profiles,
                  plain, saved, saved / plain, plain_sync, saved_sync, saved_sync / plain_sync, unflushed,
                  100.0 * (saved_sync - unflushed) / saved_sync, ms("save_unchanged" + n),
                  counter("save_unchanged" + n, "written/save"), ms("load" + n));
    }
  }

 private:
  struct Median {
    double ms = 0;
    std::map<std::string, double> counters;
  };
  double ms(const std::string& name) const {
    auto it = medians_.find(name);
    return it == medians_.end() ? 0.0 : it->second.ms;
  }
  double counter(const std::string& name, const std::string& counter) const {
    auto it = medians_.find(name);
    if (it == medians_.end()) return 0.0;
    auto c = it->second.counters.find(counter);
    return c == it->second.counters.end() ? 0.0 : c->second;
  }
  std::map<std::string, Median> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  for (size_t profiles : kSizes) {
    const std::string n = "/" + std::to_string(profiles);
    for (bool sync : {false, true}) {
      const std::string flush = sync ? "_fsync" : "_no_fsync";
      measured(benchmark::RegisterBenchmark(("plain_write" + flush + n).c_str(), plain_write, profiles, sync));
      measured(benchmark::RegisterBenchmark(("save" + flush + n).c_str(), save, profiles, sync, true));
    }
    measured(benchmark::RegisterBenchmark(("save_fsync_folder_unflushed" + n).c_str(), save, profiles, true, false));
    measured(benchmark::RegisterBenchmark(("save_unchanged" + n).c_str(), save_unchanged, profiles));
    measured(benchmark::RegisterBenchmark(("load" + n).c_str(), load, profiles));
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(bench_folder(), ec);
  return 0;
}
