#include "drivers/hidapi/report_descriptor.h"

#include <cstdio>

namespace norvane::hiddriver {

namespace {

// Item types and tags of short items (HID 1.11, 6.2.2).
constexpr uint8_t kTypeMain = 0;
constexpr uint8_t kTypeGlobal = 1;
constexpr uint8_t kTypeLocal = 2;

constexpr uint8_t kMainInput = 0x8;
constexpr uint8_t kMainOutput = 0x9;
constexpr uint8_t kMainCollection = 0xA;
constexpr uint8_t kMainFeature = 0xB;
constexpr uint8_t kMainEndCollection = 0xC;

constexpr uint8_t kGlobalUsagePage = 0x0;
constexpr uint8_t kGlobalReportSize = 0x7;
constexpr uint8_t kGlobalReportId = 0x8;
constexpr uint8_t kGlobalReportCount = 0x9;
constexpr uint8_t kGlobalPush = 0xA;
constexpr uint8_t kGlobalPop = 0xB;

constexpr uint8_t kLocalUsage = 0x0;

constexpr uint8_t kLongItemPrefix = 0xFE;

// The kernel's limits (hid-core): larger values make it refuse the device.
constexpr uint32_t kMaxReportSizeBits = 256;
constexpr uint32_t kMaxReportCount = 12288;
constexpr uint32_t kMaxReportBytes = 16384;
constexpr size_t kMaxGlobalStack = 4;
constexpr size_t kMaxCollectionDepth = 64;

struct Globals {
  uint16_t usage_page = 0;
  uint32_t report_size = 0;
  uint32_t report_count = 0;
  uint8_t report_id = 0;
};

std::string at(size_t offset, const char* what) {
  char text[96];
  std::snprintf(text, sizeof text, "%s at byte %zu", what, offset);
  return text;
}

class Parser {
 public:
  explicit Parser(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  DescriptorParse run() {
    DescriptorParse result;
    if (bytes_.empty()) {
      result.error = "empty descriptor";
      return result;
    }
    size_t offset = 0;
    while (offset < bytes_.size()) {
      const uint8_t prefix = bytes_[offset];
      if (prefix == kLongItemPrefix) {
        // Long items carry their length in the next byte; none shapes a report.
        if (offset + 2 >= bytes_.size()) return fail(result, at(offset, "truncated long item"));
        const size_t size = bytes_[offset + 1];
        if (offset + 3 + size > bytes_.size()) return fail(result, at(offset, "truncated long item"));
        offset += 3 + size;
        continue;
      }
      const size_t size = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
      if (offset + 1 + size > bytes_.size()) return fail(result, at(offset, "truncated item"));
      uint32_t data = 0;
      for (size_t i = 0; i < size; ++i) data |= static_cast<uint32_t>(bytes_[offset + 1 + i]) << (8 * i);
      const uint8_t type = (prefix >> 2) & 0x03;
      const uint8_t tag = prefix >> 4;
      std::string error;
      if (type == kTypeMain) error = main_item(tag);
      if (type == kTypeGlobal) error = global_item(tag, data, size);
      if (type == kTypeLocal) local_item(tag, data, size);
      if (!error.empty()) return fail(result, at(offset, error.c_str()));
      offset += 1 + size;
    }
    if (depth_ != 0) return fail(result, "collection left open at the end");
    if (numbered_ && unnumbered_) return fail(result, "reports declared both with and without an ID");
    for (const DeclaredReport& report : out_.reports) {
      if (report.bytes() > kMaxReportBytes) return fail(result, "report longer than the kernel accepts");
    }
    out_.numbered = numbered_;
    result.descriptor = std::move(out_);
    return result;
  }

 private:
  static DescriptorParse& fail(DescriptorParse& result, std::string error) {
    result.descriptor.reset();
    result.error = std::move(error);
    return result;
  }

  std::string main_item(uint8_t tag) {
    switch (tag) {
      case kMainCollection:
        if (depth_ == kMaxCollectionDepth) return "collections nested too deep";
        if (depth_ == 0) {
          // An extended usage (four bytes) names its own page.
          const uint16_t page = first_usage_page_ ? *first_usage_page_ : globals_.usage_page;
          current_ = {page, first_usage_.value_or(0)};
          out_.collections.push_back(current_);
        }
        ++depth_;
        break;
      case kMainEndCollection:
        if (depth_ == 0) return "end of a collection never opened";
        if (--depth_ == 0) current_ = {};
        break;
      case kMainInput: add_bits(ReportKind::input); break;
      case kMainOutput: add_bits(ReportKind::output); break;
      case kMainFeature: add_bits(ReportKind::feature); break;
      default: break;
    }
    // Local items apply to the next main item only.
    first_usage_.reset();
    first_usage_page_.reset();
    return {};
  }

  void add_bits(ReportKind kind) {
    if (globals_.report_id == 0) {
      unnumbered_ = true;
    } else {
      numbered_ = true;
    }
    DeclaredReport* report = nullptr;
    for (DeclaredReport& r : out_.reports) {
      if (r.kind == kind && r.id == globals_.report_id) report = &r;
    }
    if (report == nullptr) {
      out_.reports.push_back({kind, globals_.report_id, 0, current_.usage_page, current_.usage});
      report = &out_.reports.back();
    }
    report->bits += globals_.report_size * globals_.report_count;
  }

  std::string global_item(uint8_t tag, uint32_t data, size_t size) {
    switch (tag) {
      case kGlobalUsagePage: globals_.usage_page = static_cast<uint16_t>(data); break;
      case kGlobalReportSize:
        if (data > kMaxReportSizeBits) return "report size beyond 256 bits";
        globals_.report_size = data;
        break;
      case kGlobalReportCount:
        if (data > kMaxReportCount) return "report count beyond the kernel's limit";
        globals_.report_count = data;
        break;
      case kGlobalReportId:
        if (size == 0 || data == 0 || data > 0xFF) return "report ID outside 1..255";
        globals_.report_id = static_cast<uint8_t>(data);
        break;
      case kGlobalPush:
        if (stack_.size() == kMaxGlobalStack) return "push beyond the global stack";
        stack_.push_back(globals_);
        break;
      case kGlobalPop:
        if (stack_.empty()) return "pop without a push";
        globals_ = stack_.back();
        stack_.pop_back();
        break;
      default: break;
    }
    return {};
  }

  void local_item(uint8_t tag, uint32_t data, size_t size) {
    if (tag != kLocalUsage || first_usage_) return;
    first_usage_ = static_cast<uint16_t>(data & 0xFFFF);
    if (size == 4) first_usage_page_ = static_cast<uint16_t>(data >> 16);
  }

  std::span<const uint8_t> bytes_;
  ReportDescriptor out_;
  Globals globals_;
  std::vector<Globals> stack_;
  std::optional<uint16_t> first_usage_;
  std::optional<uint16_t> first_usage_page_;
  TopLevelCollection current_;
  size_t depth_ = 0;
  bool numbered_ = false;
  bool unnumbered_ = false;
};

}  // namespace

const char* report_kind_name(ReportKind kind) {
  switch (kind) {
    case ReportKind::input: return "input";
    case ReportKind::output: return "output";
    case ReportKind::feature: break;
  }
  return "feature";
}

const DeclaredReport* ReportDescriptor::find(ReportKind kind, uint8_t id) const {
  for (const DeclaredReport& report : reports) {
    if (report.kind == kind && report.id == id) return &report;
  }
  return nullptr;
}

std::vector<const DeclaredReport*> ReportDescriptor::of_kind(ReportKind kind) const {
  std::vector<const DeclaredReport*> found;
  for (const DeclaredReport& report : reports) {
    if (report.kind == kind) found.push_back(&report);
  }
  return found;
}

DescriptorParse parse_report_descriptor(std::span<const uint8_t> bytes) { return Parser(bytes).run(); }

std::string describe_reports(const ReportDescriptor& descriptor) {
  std::string text;
  for (ReportKind kind : {ReportKind::input, ReportKind::output, ReportKind::feature}) {
    const auto reports = descriptor.of_kind(kind);
    if (reports.empty()) continue;
    if (!text.empty()) text += ' ';
    text += report_kind_name(kind);
    for (const DeclaredReport* report : reports) {
      char entry[24];
      std::snprintf(entry, sizeof entry, " %02X:%zu", report->id, report->bytes());
      text += entry;
    }
  }
  return text.empty() ? "no reports" : text;
}

}  // namespace norvane::hiddriver
