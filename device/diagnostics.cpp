#include "device/diagnostics.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <span>
#include <sstream>

#include "core/trace.h"
#include "device/ble_gatt_objects.h"
#include "device/ble_identifiers.h"
#include "device/ble_presence.h"
#include "device/driver_library.h"
#include "device/library_links.h"
#include "drivers/hidapi/hid_roles.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;

constexpr size_t kHexBytesPerLine = 32;

struct LinkInfo {
  LibraryLink link;
  DriverLink driver_link;
  const char* name;
};
constexpr LinkInfo kLinks[] = {
    {LibraryLink::wired, DriverLink::Wired, "cable"},
    {LibraryLink::wireless, DriverLink::Wireless, "2.4 GHz receiver"},
    {LibraryLink::wireless_8k, DriverLink::Wireless8k, "8 kHz receiver"},
};

// Which link `id` is, or nullptr for none of the mouse's.
const char* mouse_identity(const HidIdentity& id) {
  if (id.vendor_id == kBleVendorId && id.product_id == kBleProductId && id.bus == kHidBusBluetooth) {
    return "Bluetooth LE";
  }
  for (const LinkInfo& info : kLinks) {
    const LibraryLinkParams params = library_link_params(info.link);
    if (id.vendor_id == params.vendor_id && id.product_id == params.product_id) return info.name;
  }
  return nullptr;
}

std::string read_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The number in "hidraw12", for ordering; a name without one sorts last.
long node_number(const std::string& name) {
  const size_t digits = name.find_first_of("0123456789");
  if (digits == std::string::npos) return -1;
  return std::strtol(name.c_str() + digits, nullptr, 10);
}

int try_open(const std::string& devnode) {
  const int fd = ::open(devnode.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

std::string hex(std::span<const uint8_t> bytes, const std::string& indent) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % kHexBytesPerLine == 0) text += (i == 0 ? "" : "\n") + indent;
    char byte[4];
    std::snprintf(byte, sizeof byte, i % kHexBytesPerLine == 0 ? "%02x" : " %02x", bytes[i]);
    text += byte;
  }
  return text;
}

std::string id_text(const HidIdentity& id) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", id.vendor_id, id.product_id);
  return text;
}

hiddriver::HidNode hid_node(const DiagnosticNode& node) {
  hiddriver::HidNode out;
  out.path = node.devnode;
  out.interface_number = node.interface_number;
  if (!node.descriptor) {
    out.descriptor_error = "descriptor unreadable";
    return out;
  }
  hiddriver::DescriptorParse parsed = hiddriver::parse_report_descriptor(*node.descriptor);
  out.descriptor = std::move(parsed.descriptor);
  out.descriptor_error = std::move(parsed.error);
  return out;
}

void section(std::string& out, const char* title) { out += std::string("\n== ") + title + " ==\n"; }

void nodes_section(std::string& out, const std::vector<DiagnosticNode>& nodes) {
  section(out, "hidraw nodes of the mouse and its receivers");
  if (nodes.empty()) out += "none\n";
  for (const DiagnosticNode& node : nodes) {
    out += node.devnode + " (" + mouse_identity(node.id) + ", " + id_text(node.id) + ")\n";
    out += "  interface: " + (node.interface_number < 0 ? std::string("none") : std::to_string(node.interface_number)) +
           "\n";
    out += "  opens: " + (node.open_error == 0 ? std::string("yes") : "no (" + std::string(std::strerror(node.open_error)) + ")") +
           "\n";
    for (const std::string& line : node.uevent) out += "  uevent: " + line + "\n";
    if (!node.descriptor) {
      out += "  report descriptor: unreadable\n";
      continue;
    }
    out += "  report descriptor (" + std::to_string(node.descriptor->size()) + " bytes):\n";
    out += hex(*node.descriptor, "    ") + "\n";
    const hiddriver::HidNode parsed = hid_node(node);
    out += "  reports: " +
           (parsed.descriptor ? hiddriver::describe_reports(*parsed.descriptor) : "malformed (" + parsed.descriptor_error + ")") +
           "\n";
  }
}

void roles_section(std::string& out, const std::vector<DiagnosticNode>& nodes) {
  section(out, "nodes chosen for each role");
  for (const LinkInfo& info : kLinks) {
    const LibraryLinkParams params = library_link_params(info.link);
    std::vector<hiddriver::HidNode> link_nodes;
    for (const DiagnosticNode& node : nodes) {
      if (node.id.vendor_id == params.vendor_id && node.id.product_id == params.product_id) {
        link_nodes.push_back(hid_node(node));
      }
    }
    out += std::string(info.name) + ": ";
    if (link_nodes.empty()) {
      out += "no node\n";
      continue;
    }
    out += hiddriver::describe_roles(link_nodes, hiddriver::choose_roles(link_nodes)) + "\n";
  }
}

void rules_section(std::string& out, const std::vector<std::string>& folders) {
  section(out, "udev rule");
  const std::vector<std::string> rules = find_udev_rules(folders);
  for (const std::string& rule : rules) out += rule + "\n";
  if (!rules.empty()) return;
  out += "none found in";
  for (const std::string& folder : folders) out += " " + folder;
  out += "\n(without it only root may open the mouse's hidraw nodes)\n";
}

void bluez_section(std::string& out, const DiagnosticsSources& sources) {
  section(out, "Bluetooth devices (BlueZ)");
  if (sources.bluez == nullptr) {
    out += "BlueZ not reachable: " + sources.bluez_error + "\n";
    return;
  }
  GattObjects objects;
  const GattCallResult read = sources.bluez->read_objects(objects);
  if (!read.ok()) {
    out += "BlueZ did not list its objects: " + read.error + "\n";
    return;
  }
  std::vector<const GattDevice*> devices;
  for (const GattDevice& device : objects.devices) devices.push_back(&device);
  std::sort(devices.begin(), devices.end(), [](const GattDevice* a, const GattDevice* b) { return a->path < b->path; });
  if (devices.empty()) out += "none\n";
  for (const GattDevice* device : devices) {
    const std::optional<VendorProduct> ids = parse_modalias(device->modalias);
    const bool mouse = ids && ids->vendor == kBleVendorId && ids->product == kBleProductId;
    out += device->path + " " + device->address + " modalias " +
           (device->modalias.empty() ? std::string("none") : device->modalias) +
           (device->connected ? " connected" : " not connected") +
           (device->services_resolved ? ", services resolved" : ", services not resolved") +
           (mouse ? " (the mouse)" : "") + "\n";
    for (const std::string& line : describe_services(objects, device->path)) out += "  " + line + "\n";
    if (mouse) {
      const GattService* taken = service_with(objects, device->path, 0xFEE3, 0xFEE4);
      out += "  service taken: " + (taken != nullptr ? taken->path : std::string("none")) + "\n";
    }
  }
}

void trace_library_line(void*, const char* line) { trace("%s\n", line); }

void links_section(std::string& out, const DiagnosticsSources& sources) {
  section(out, "links");
  if (!sources.driver_folder.empty()) {
    DriverLibraries libraries(sources.driver_folder);
    const NvTraceTarget target{nullptr, &trace_library_line};
    for (const LinkInfo& info : kLinks) {
      DriverLibrary& library = libraries.of(info.driver_link);
      out += std::string(info.name) + " (" + driver_file_name(info.driver_link) + "): ";
      if (!library.loaded()) {
        out += "library not loaded: " + library.load_error() + "\n";
        continue;
      }
      library.set_trace_target(&target);
      const LibraryLinkParams params = library_link_params(info.link);
      library.set_vidpid(params.vendor_id, params.product_id);
      int opened = library.open_feature_device();
      if (info.link == LibraryLink::wireless_8k) opened = library.open_report_device();
      const int error = opened != 0 ? 0 : library.open_error();
      library.close_feature_device();
      library.close_report_device();
      library.set_trace_target(nullptr);
      if (opened != 0) {
        out += "present\n";
      } else if (error != 0) {
        out += std::string("there, but cannot be opened: ") + std::strerror(error) + "\n";
      } else {
        out += "absent\n";
      }
    }
    libraries.unload_all();
  }
  if (sources.ble_present) out += std::string("Bluetooth LE: ") + (sources.ble_present() ? "present" : "absent") + "\n";
}

}  // namespace

std::vector<DiagnosticNode> read_mouse_hidraw_nodes(const HidrawSource& source) {
  std::vector<DiagnosticNode> nodes;
  const fs::path classes = fs::path(source.sysfs_root) / "class" / "hidraw";
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(classes, ec)) {
    const fs::path device = entry.path() / "device";
    const std::vector<std::string> uevent = lines_of(read_text(device / "uevent"));
    std::optional<HidIdentity> id;
    for (const std::string& line : uevent) {
      if (line.rfind("HID_ID=", 0) == 0) id = parse_udev_hid_id(std::string_view(line).substr(7));
    }
    if (!id || mouse_identity(*id) == nullptr) continue;

    DiagnosticNode node;
    node.name = entry.path().filename().string();
    node.devnode = (fs::path(source.dev_root) / node.name).string();
    node.id = *id;
    node.uevent = uevent;
    // The USB interface is the HID device's parent; the path resolves through the link.
    const std::string number = read_text(device / ".." / "bInterfaceNumber");
    if (!number.empty() && std::isxdigit(static_cast<unsigned char>(number[0]))) {
      node.interface_number = static_cast<int>(std::strtol(number.c_str(), nullptr, 16));
    }
    std::ifstream descriptor(device / "report_descriptor", std::ios::binary);
    if (descriptor) {
      node.descriptor = std::vector<uint8_t>(std::istreambuf_iterator<char>(descriptor), std::istreambuf_iterator<char>());
    }
    node.open_error = source.open_error ? source.open_error(node.devnode) : try_open(node.devnode);
    nodes.push_back(std::move(node));
  }
  std::sort(nodes.begin(), nodes.end(), [](const DiagnosticNode& a, const DiagnosticNode& b) {
    return std::make_pair(node_number(a.name), a.name) < std::make_pair(node_number(b.name), b.name);
  });
  return nodes;
}

std::vector<std::string> find_udev_rules(const std::vector<std::string>& folders) {
  std::vector<std::string> found;
  for (const std::string& folder : folders) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
      if (entry.path().extension() == ".rules") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      std::string text = read_text(file);
      std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
      if (text.find("hidraw") != std::string::npos && text.find("1d57") != std::string::npos) {
        found.push_back(file.string());
      }
    }
  }
  return found;
}

std::vector<std::string> default_udev_rule_folders(const std::string& install_prefix) {
  std::vector<std::string> folders = {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                      "/lib/udev/rules.d"};
  const std::string installed = (fs::path(install_prefix) / "lib" / "udev" / "rules.d").string();
  if (std::find(folders.begin(), folders.end(), installed) == folders.end()) folders.push_back(installed);
  return folders;
}

std::string gather_diagnostics(const DiagnosticsSources& sources) {
  std::string out = "Norvane diagnostics\n";
  out += "program " + sources.program_version + "\n";
  out += "hidapi " + sources.hidapi_version + "\n";
  out += "Qt " + sources.qt_version + "\n";

  const std::vector<DiagnosticNode> nodes = read_mouse_hidraw_nodes(sources.hidraw);
  nodes_section(out, nodes);
  roles_section(out, nodes);
  rules_section(out, sources.udev_rule_folders);
  bluez_section(out, sources);
  links_section(out, sources);

  section(out, "last trace lines");
  const std::vector<std::string> lines = recent_trace_lines();
  if (lines.empty()) out += "none\n";
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

}  // namespace norvane
