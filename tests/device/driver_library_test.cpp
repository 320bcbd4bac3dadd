// Loading the vendor driver libraries: what is missing leaves its link
// unloaded with every call skipped.

#include "device/driver_library.h"

#include <gtest/gtest.h>

namespace {

using norvane::DriverLibraries;
using norvane::DriverLibrary;
using norvane::DriverLink;

void expect_every_call_skipped(DriverLibrary& library) {
  unsigned char buffer[65] = {0x05};
  NvPostTarget target{};
  EXPECT_EQ(library.set_vidpid(0x1D57, 0x2127), 0);
  EXPECT_EQ(library.open_dev_monitor(&target, 1555, 1556), 0);
  EXPECT_EQ(library.open_feature_device(), 0);
  EXPECT_EQ(library.set_feature(buffer, 15), 0);
  EXPECT_EQ(library.get_feature(buffer, 15), 0);
  EXPECT_EQ(library.open_report_device(), 0);
  EXPECT_EQ(library.write_usb(buffer, 65), 0);
  EXPECT_EQ(library.read_usb(buffer, 65), 0);
  EXPECT_EQ(library.close_report_device(), 0);
  EXPECT_EQ(library.close_feature_device(), 0);
  EXPECT_EQ(library.close_dev_monitor(), 0);
  EXPECT_EQ(library.open_error(), 0);
  const NvTraceTarget trace{nullptr, [](void*, const char*) { ADD_FAILURE() << "traced through a released library"; }};
  library.set_trace_target(&trace);
}

TEST(DriverLibrary, AMissingLibraryLeavesItsLinkUnloaded) {
  DriverLibraries libraries(TEST_EMPTY_FOLDER);
  for (DriverLink link : {DriverLink::Wired, DriverLink::Wireless, DriverLink::Wireless8k}) {
    DriverLibrary& library = libraries.of(link);
    EXPECT_FALSE(library.loaded());
    EXPECT_NE(library.load_error().find(norvane::driver_file_name(link)), std::string::npos)
        << library.load_error();
    expect_every_call_skipped(library);
  }
}

TEST(DriverLibrary, AMissingEntryPointLeavesItsLinkUnloaded) {
  DriverLibrary wired(TEST_PARTIAL_DRIVER_FOLDER, "hiddriver_2.so", DriverLink::Wired);
  EXPECT_FALSE(wired.loaded());
  EXPECT_NE(wired.load_error().find("SetFeature"), std::string::npos) << wired.load_error();
  expect_every_call_skipped(wired);

  DriverLibrary fast(TEST_PARTIAL_DRIVER_FOLDER, "hiddriver_2.so", DriverLink::Wireless8k);
  EXPECT_FALSE(fast.loaded());
  EXPECT_NE(fast.load_error().find("Open_ReportDevice"), std::string::npos) << fast.load_error();
}

TEST(DriverLibrary, LoadsTheThreeLibrariesBesideTheExecutableAndUnloadsThem) {
  // The build folder holds the virtual mouse's libraries, with a trailing '/'.
  DriverLibraries libraries(std::string(TEST_DRIVER_FOLDER) + "/");
  ASSERT_TRUE(libraries.wired.loaded()) << libraries.wired.load_error();
  ASSERT_TRUE(libraries.wireless.loaded());
  ASSERT_TRUE(libraries.wireless_8k.loaded());
  EXPECT_EQ(libraries.wireless.set_vidpid(0x1D57, 0xFA60), 1);

  libraries.unload_all();
  EXPECT_FALSE(libraries.wireless.loaded());
  expect_every_call_skipped(libraries.wireless);
}

}  // namespace
