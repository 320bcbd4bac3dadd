#pragma once
// Included at the end of a driver library's exports: every entry point must have
// exactly the type the program's loader resolves it as (both implementations export
// the optional ones too).

#include <type_traits>

#include "drivers/driver_api.h"

static_assert(std::is_same_v<decltype(&Set_VIDPID), Set_VIDPID_fn>);
static_assert(std::is_same_v<decltype(&Open_DevMonitor), Open_DevMonitor_fn>);
static_assert(std::is_same_v<decltype(&Close_DevMonitor), Close_DevMonitor_fn>);
static_assert(std::is_same_v<decltype(&Open_FeatureDevice), Open_FeatureDevice_fn>);
static_assert(std::is_same_v<decltype(&Close_FeatureDevice), Close_FeatureDevice_fn>);
static_assert(std::is_same_v<decltype(&SetFeature), SetFeature_fn>);
static_assert(std::is_same_v<decltype(&GetFeature), GetFeature_fn>);
static_assert(std::is_same_v<decltype(&Open_ReportDevice), Open_ReportDevice_fn>);
static_assert(std::is_same_v<decltype(&Close_ReportDevice), Close_ReportDevice_fn>);
static_assert(std::is_same_v<decltype(&WriteUSB), WriteUSB_fn>);
static_assert(std::is_same_v<decltype(&ReadUSB), ReadUSB_fn>);
static_assert(std::is_same_v<decltype(&Get_OpenError), Get_OpenError_fn>);
static_assert(std::is_same_v<decltype(&Set_TraceTarget), Set_TraceTarget_fn>);
