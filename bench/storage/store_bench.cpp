// Load and save of the profile store with 1, 100, 200 and 1,000 profiles. A save is
// measured beside a plain write of the same bytes to the same folder (open, write,
// fsync, close): the save's extra cost is comparing and copying the list, the
// temporary file, the rename and the flush of the folder. Both run in turn within
// each iteration, so a disk whose speed drifts during the run (fsync times on a
// shared machine do) slows both alike and their ratio holds. Every timed save changes
// one profile first, so it has something to write.
//
// Rows per size:
//   save_vs_plain, save_vs_plain_fsync   plain write, then save; without and with fsync
//   folder_flush_fsync                   save leaving out only the folder's flush after
//                                        the rename, then the full save: that flush's share
//   save_unchanged                       a save of a list the file already holds
//   load
// Counters: `first_ms` and `second_ms` of the paired rows, `written/save` bytes
// written per save and `fsyncs/save` (from the file-system calls the save makes). At
// the end a summary lists per size the medians and ratios, and how much more memory is
// resident after three saves of 200 profiles than before them, measured before the
// benchmarks run (a store image that outlives its save, in the program or in the
// allocator's keeping, shows up there). Times are wall-clock: the fsync waits are
// the point.
//
//   storage_bench [--benchmark_filter=...]   folder: $NORVANE_BENCH_DIR, else the temp dir

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "storage/profile_store.h"

using namespace norvane;

namespace {

constexpr size_t kSizes[] = {1, 100, 200, 1000};
constexpr size_t kKeptProfiles = 200;

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

void count_calls(benchmark::State& state, const CountingFileOps& ops, size_t saves) {
  state.counters["written/save"] = static_cast<double>(ops.written) / static_cast<double>(saves);
  state.counters["fsyncs/save"] = static_cast<double>(ops.fsyncs) / static_cast<double>(saves);
}

// open, write, (fsync), close of the bytes a save of `page` writes, over one file name.
class PlainWrite {
 public:
  PlainWrite(const ProfileState& page, size_t profiles, bool sync)
      : image_(profile_store_bytes(page.profiles.size())), path_(store_folder(profiles) + "/plain.data"), sync_(sync) {
    copy_profile_store_image(*page.head, page.profiles, image_);
    std::filesystem::create_directories(store_folder(profiles));
  }
  bool operator()() const {
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < image_.size()) {
      const ssize_t n = ::write(fd, image_.data() + done, image_.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    if (sync_) ::fsync(fd);
    ::close(fd);
    return done == image_.size();
  }

 private:
  std::vector<std::byte> image_;
  std::string path_;
  bool sync_;
};

// `first`, then `second`, in every iteration; each one's time is kept apart.
void paired(benchmark::State& state, const std::function<bool()>& first, const std::function<bool()>& second) {
  using Clock = std::chrono::steady_clock;
  double first_seconds = 0, second_seconds = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (!first()) state.SkipWithError("the first step failed");
    const auto middle = Clock::now();
    if (!second()) state.SkipWithError("the second step failed");
    const auto end = Clock::now();
    first_seconds += std::chrono::duration<double>(middle - start).count();
    second_seconds += std::chrono::duration<double>(end - middle).count();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["first_ms"] = 1e3 * first_seconds / n;
  state.counters["second_ms"] = 1e3 * second_seconds / n;
}

// A plain write, then a save of the list with one profile changed since the last save.
void save_vs_plain(benchmark::State& state, size_t profiles, bool sync) {
  ProfileState& page = page_with(profiles);
  const PlainWrite plain(page, profiles, sync);
  CountingFileOps ops(sync, true);
  paired(state, [&] { return plain(); }, [&] {
    edit_current(page);
    return save_profile_store(page, store_folder(profiles), &ops).ok();
  });
  count_calls(state, ops, state.iterations());
}

// A save without the folder's flush, then a full one: the difference is that flush.
void folder_flush(benchmark::State& state, size_t profiles) {
  ProfileState& page = page_with(profiles);
  CountingFileOps unflushed(true, false);
  CountingFileOps full(true, true);
  const auto save_with = [&](CountingFileOps& ops) {
    edit_current(page);
    return save_profile_store(page, store_folder(profiles), &ops).ok();
  };
  paired(state, [&] { return save_with(unflushed); }, [&] { return save_with(full); });
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
  count_calls(state, ops, state.iterations());
}

void load(benchmark::State& state, size_t profiles) {
  CountingFileOps no_sync(false, false);
  save_profile_store(page_with(profiles), store_folder(profiles), &no_sync);
  for (auto _ : state) {
    ProfileState page;
    const LoadResult result = load_profile_store(page, store_folder(profiles), u"Profile", {&no_sync, 0});
    if (result.outcome != LoadOutcome::loaded || page.profiles.size() != profiles) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * profile_store_bytes(profiles)));
}

// Resident memory after three saves, each of a changed list, beyond what it was
// before them.
double memory_kept_after_saves(size_t profiles) {
  ProfileState& page = page_with(profiles);
  CountingFileOps no_sync(false, false);
  const std::string folder = bench_folder() + "/kept";
  const double before = resident_bytes();
  for (int i = 0; i < 3; ++i) {
    edit_current(page);
    if (!save_profile_store(page, folder, &no_sync)) std::abort();
  }
  return resident_bytes() - before;
}

// Disk times vary from run to run: the median of five runs of at least a second.
void measured(benchmark::internal::Benchmark* b, bool manual_time) {
  if (manual_time) {
    b->UseManualTime();
  } else {
    b->UseRealTime();
  }
  b->MinTime(1.0)->Repetitions(5)->ReportAggregatesOnly(true);
}

// The console table, then per size the medians and ratios.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  explicit SummaryReporter(double kept_bytes)
      : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular), kept_bytes_(kept_bytes) {}
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
    std::printf("\nmedians in ms; ratio = save time / plain write time of the same bytes, in the same iterations\n");
    std::printf("%8s | %8s %8s %5s | %8s %8s %5s | %12s | %8s %9s | %8s\n", "profiles", "plain", "save", "ratio",
                "plain+fs", "save+fs", "ratio", "folder flush", "unchgd", "written", "load");
    for (size_t profiles : kSizes) {
      const std::string n = "/" + std::to_string(profiles);
      if (medians_.find("save_vs_plain_fsync" + n) == medians_.end()) continue;  // filtered out
      const double plain = counter("save_vs_plain" + n, "first_ms");
      const double saved = counter("save_vs_plain" + n, "second_ms");
      const double plain_sync = counter("save_vs_plain_fsync" + n, "first_ms");
      const double saved_sync = counter("save_vs_plain_fsync" + n, "second_ms");
      const double unflushed = counter("folder_flush_fsync" + n, "first_ms");
      const double flushed = counter("folder_flush_fsync" + n, "second_ms");
      std::printf("%8zu | %8.3f %8.3f %5.2f | %8.3f %8.3f %5.2f | %7.3f %3.0f%% | %8.3f %9.0f | %8.3f\n", profiles,
                  plain, saved, ratio(saved, plain), plain_sync, saved_sync, ratio(saved_sync, plain_sync),
                  flushed - unflushed, 100.0 * ratio(flushed - unflushed, flushed), ms("save_unchanged" + n),
                  counter("save_unchanged" + n, "written/save"), ms("load" + n));
    }
    std::printf("\nresident after three saves of %zu profiles, beyond before them: %.1f MB (one image: %.1f MB)\n",
                kKeptProfiles, kept_bytes_ / 1e6, static_cast<double>(profile_store_bytes(kKeptProfiles)) / 1e6);
  }

 private:
  struct Median {
    double ms = 0;
    std::map<std::string, double> counters;
  };
  static double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }
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
  double kept_bytes_;
};

}  // namespace

int main(int argc, char** argv) {
  const double kept = memory_kept_after_saves(kKeptProfiles);
  for (size_t profiles : kSizes) {
    const std::string n = "/" + std::to_string(profiles);
    measured(benchmark::RegisterBenchmark(("save_vs_plain" + n).c_str(), save_vs_plain, profiles, false), true);
    measured(benchmark::RegisterBenchmark(("save_vs_plain_fsync" + n).c_str(), save_vs_plain, profiles, true), true);
    measured(benchmark::RegisterBenchmark(("folder_flush_fsync" + n).c_str(), folder_flush, profiles), true);
    measured(benchmark::RegisterBenchmark(("save_unchanged" + n).c_str(), save_unchanged, profiles), false);
    measured(benchmark::RegisterBenchmark(("load" + n).c_str(), load, profiles), false);
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter(kept);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(bench_folder(), ec);
  return 0;
}
