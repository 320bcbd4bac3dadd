#include "fake_hid_backend.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

using norvane::hiddriver::HidBackend;
using norvane::hiddriver::HotplugEvent;
using norvane::hiddriver::ReportKind;

FakeHid* FakeHid::current_ = nullptr;

namespace {
// Only keeps a driver that never wakes its reader from hanging the test run.
constexpr auto kStuckLimit = std::chrono::seconds(10);
}  // namespace

HidBackend FakeHid::backend() {
  return HidBackend{init,           enumerate,          free_enumeration, open_path,          close,
                    send_feature_report, get_feature_report, write,         read_timeout,       interrupt_read,
                    report_descriptor, open_error,      monitor_open,    monitor_wait,       monitor_wake,
                    monitor_close};
}

FakeHid::FakeHid() { current_ = this; }
FakeHid::~FakeHid() { current_ = nullptr; }

void FakeHid::add_interface(const std::string& path, uint16_t vendor_id, uint16_t product_id,
                            int interface_number, BuiltDescriptor descriptor) {
  std::lock_guard lock(mutex_);
  interfaces_.push_back({path, vendor_id, product_id, interface_number, std::move(descriptor)});
}

void FakeHid::refuse_open(const std::string& path, int error) {
  std::lock_guard lock(mutex_);
  for (Interface& i : interfaces_) {
    if (i.path == path) i.open_error = error;
  }
}

void FakeHid::hide_descriptor(const std::string& path) {
  std::lock_guard lock(mutex_);
  for (Interface& i : interfaces_) {
    if (i.path == path) i.descriptor_hidden = true;
  }
}

const FakeHid::Interface* FakeHid::interface(const std::string& path) const {
  for (const Interface& i : interfaces_) {
    if (i.path == path) return &i;
  }
  return nullptr;
}

bool FakeHid::declared(const Handle& h, ReportKind kind, const unsigned char* data, size_t length) const {
  const Interface* node = interface(h.path);
  if (node == nullptr || length == 0) return false;
  // Byte 0 is the report ID, 0 on a node that numbers none of its reports.
  if (!node->descriptor.numbered() && data[0] != 0) return false;
  const BuiltReport* report = node->descriptor.find(kind, data[0]);
  return report != nullptr && length == report->bytes + 1;
}

void FakeHid::remove_interface(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::erase_if(interfaces_, [&](const Interface& i) { return i.path == path; });
}

void FakeHid::hotplug(HotplugEvent::Action action, const std::string& devnode,
                      const std::string& devpath) {
  HotplugEvent event;
  event.action = action;
  std::strncpy(event.devnode, devnode.c_str(), sizeof event.devnode - 1);
  std::strncpy(event.devpath, devpath.c_str(), sizeof event.devpath - 1);
  std::lock_guard lock(mutex_);
  for (auto& monitor : monitors_) monitor->events.push_back(event);
  changed_.notify_all();
}

void FakeHid::input(const std::string& path, const Bytes& report) {
  std::lock_guard lock(mutex_);
  for (auto& h : handles_) {
    if (h->path == path && !h->closed) h->input.push_back(report);
  }
  changed_.notify_all();
}

void FakeHid::fail_reads(const std::string& path) {
  std::lock_guard lock(mutex_);
  for (auto& h : handles_) {
    if (h->path == path) h->failed = true;
  }
  changed_.notify_all();
}

void FakeHid::fail_next_read(const std::string& path) {
  std::lock_guard lock(mutex_);
  for (auto& h : handles_) {
    if (h->path == path && !h->closed) h->fail_once = true;
  }
  changed_.notify_all();
}

std::vector<FakeHid::Transfer> FakeHid::features_sent() {
  std::lock_guard lock(mutex_);
  return features_;
}

std::vector<FakeHid::Transfer> FakeHid::writes() {
  std::lock_guard lock(mutex_);
  return writes_;
}

int FakeHid::open_handles() {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(handles_.begin(), handles_.end(),
                                        [](const auto& h) { return !h->closed; }));
}

int FakeHid::open_handles(const std::string& path) {
  std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(handles_.begin(), handles_.end(),
                                        [&](const auto& h) { return !h->closed && h->path == path; }));
}

int FakeHid::use_after_close() {
  std::lock_guard lock(mutex_);
  return use_after_close_;
}

int FakeHid::malformed_transfers() {
  std::lock_guard lock(mutex_);
  return malformed_;
}

FakeHid::Handle* FakeHid::handle(hid_device* device) {
  auto* h = reinterpret_cast<Handle*>(device);
  if (h->closed) ++use_after_close_;
  return h;
}

int FakeHid::init() { return 0; }

hid_device_info* FakeHid::enumerate(unsigned short vendor_id, unsigned short product_id) {
  std::lock_guard lock(current_->mutex_);
  hid_device_info* head = nullptr;
  hid_device_info** tail = &head;
  for (const Interface& i : current_->interfaces_) {
    if (i.vendor_id != vendor_id || i.product_id != product_id) continue;
    auto* info = new hid_device_info{};
    info->path = strdup(i.path.c_str());
    info->vendor_id = i.vendor_id;
    info->product_id = i.product_id;
    info->interface_number = i.interface_number;
    *tail = info;
    tail = &info->next;
  }
  return head;
}

void FakeHid::free_enumeration(hid_device_info* list) {
  while (list != nullptr) {
    hid_device_info* next = list->next;
    free(list->path);
    delete list;
    list = next;
  }
}

hid_device* FakeHid::open_path(const char* path) {
  std::lock_guard lock(current_->mutex_);
  const Interface* node = current_->interface(path);
  if (node == nullptr || node->open_error != 0) return nullptr;
  current_->handles_.push_back(std::make_unique<Handle>());
  current_->handles_.back()->path = path;
  return reinterpret_cast<hid_device*>(current_->handles_.back().get());
}

void FakeHid::close(hid_device* device) {
  std::lock_guard lock(current_->mutex_);
  Handle* h = current_->handle(device);
  if (h->in_flight > 0) ++current_->use_after_close_;
  h->closed = true;
}

int FakeHid::send_feature_report(hid_device* device, const unsigned char* data, size_t length) {
  std::unique_lock lock(current_->mutex_);
  Handle* h = current_->handle(device);
  // A transfer takes a while: a close that comes in meanwhile is a fault.
  ++h->in_flight;
  lock.unlock();
  std::this_thread::yield();
  lock.lock();
  --h->in_flight;
  if (!current_->declared(*h, ReportKind::feature, data, length)) {
    ++current_->malformed_;
    return -1;
  }
  current_->features_.push_back({h->path, Bytes(data, data + length)});
  return static_cast<int>(length);
}

int FakeHid::get_feature_report(hid_device* device, unsigned char* data, size_t length) {
  std::lock_guard lock(current_->mutex_);
  current_->handle(device);
  // Echo the requested report id with a fixed body.
  std::fill(data + 1, data + length, 0xA5);
  return static_cast<int>(length);
}

int FakeHid::write(hid_device* device, const unsigned char* data, size_t length) {
  std::lock_guard lock(current_->mutex_);
  Handle* h = current_->handle(device);
  if (!current_->declared(*h, ReportKind::output, data, length)) {
    ++current_->malformed_;
    return -1;
  }
  current_->writes_.push_back({h->path, Bytes(data, data + length)});
  return static_cast<int>(length);
}

int FakeHid::read_timeout(hid_device* device, unsigned char* data, size_t length, int ms) {
  std::unique_lock lock(current_->mutex_);
  Handle* h = current_->handle(device);
  if (ms != 0) {
    current_->changed_.wait_for(lock, kStuckLimit,
                                [&] { return !h->input.empty() || h->interrupted || h->failed || h->fail_once; });
  }
  if (h->failed) return -1;
  if (h->fail_once) {
    h->fail_once = false;
    return -1;
  }
  h->interrupted = false;
  if (h->input.empty()) return 0;
  const Bytes report = h->input.front();
  h->input.pop_front();
  const size_t n = std::min(length, report.size());
  std::memcpy(data, report.data(), n);
  return static_cast<int>(n);
}

void FakeHid::interrupt_read(hid_device* device) {
  std::lock_guard lock(current_->mutex_);
  reinterpret_cast<Handle*>(device)->interrupted = true;
  current_->changed_.notify_all();
}

int FakeHid::report_descriptor(const char* path, unsigned char* buffer, size_t size) {
  std::lock_guard lock(current_->mutex_);
  const Interface* node = current_->interface(path);
  if (node == nullptr || node->descriptor_hidden) return -1;
  const size_t n = std::min(size, node->descriptor.bytes.size());
  std::memcpy(buffer, node->descriptor.bytes.data(), n);
  return static_cast<int>(n);
}

int FakeHid::open_error(const char* path) {
  std::lock_guard lock(current_->mutex_);
  const Interface* node = current_->interface(path);
  return node == nullptr ? ENOENT : node->open_error;
}

void* FakeHid::monitor_open() {
  std::lock_guard lock(current_->mutex_);
  current_->monitors_.push_back(std::make_unique<Monitor>());
  return current_->monitors_.back().get();
}

int FakeHid::monitor_wait(void* monitor, HotplugEvent* event) {
  auto* m = static_cast<Monitor*>(monitor);
  std::unique_lock lock(current_->mutex_);
  current_->changed_.wait_for(lock, kStuckLimit, [&] { return !m->events.empty() || m->woken; });
  if (m->woken) {
    m->woken = false;
    return 0;
  }
  if (m->events.empty()) return 0;
  *event = m->events.front();
  m->events.pop_front();
  return 1;
}

void FakeHid::monitor_wake(void* monitor) {
  std::lock_guard lock(current_->mutex_);
  static_cast<Monitor*>(monitor)->woken = true;
  current_->changed_.notify_all();
}

void FakeHid::monitor_close(void* monitor) {
  std::lock_guard lock(current_->mutex_);
  std::erase_if(current_->monitors_, [&](const auto& m) { return m.get() == monitor; });
}
