#pragma once
// The C interface of the three vendor driver libraries (hiddriver_2: cable,
// hiddriver_1: 2.4 GHz receiver, hiddriver_8k: 8 kHz receiver). Every library
// exports these names with C linkage; the loader resolves them by name.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Where a library delivers its messages. `post` may be called from any thread;
// the receiver queues the message and handles it on its UI thread, in order.
typedef struct NvPostTarget {
  void* context;
  void (*post)(void* context, uint32_t message, uintptr_t wparam, intptr_t lparam);
} NvPostTarget;

// Event message: low 16 bits of wparam = event report bytes 0 (low) and 1 (high);
// low 16 bits of lparam = bytes 2 (low) and 3 (high).
// Link message: wparam 1 = the device arrived, 0 = it is gone.

typedef int (*Set_VIDPID_fn)(int vendor_id, int product_id);
typedef int (*Open_DevMonitor_fn)(NvPostTarget* window, uint32_t event_message, uint32_t link_message);
typedef int (*Close_DevMonitor_fn)(void);
typedef int (*Open_FeatureDevice_fn)(void);
typedef int (*Close_FeatureDevice_fn)(void);
typedef int (*SetFeature_fn)(const unsigned char* buffer, int length);
typedef int (*GetFeature_fn)(unsigned char* buffer, int length);
typedef int (*Open_ReportDevice_fn)(void);
typedef int (*Close_ReportDevice_fn)(void);
typedef int (*WriteUSB_fn)(const unsigned char* buffer, int length);
typedef int (*ReadUSB_fn)(unsigned char* buffer, int length);

// Optional entry points: a library may leave them out and the program does without.
//
// Get_OpenError: why the library's last Open_FeatureDevice or Open_ReportDevice
// returned 0. 0 when no node of the device was there (or the open succeeded);
// otherwise the errno of opening a node of the device that does exist, e.g. EACCES
// when the user may not open it.
typedef int (*Get_OpenError_fn)(void);

// Set_TraceTarget: where the library writes its trace lines (one line per call,
// without a line end), from any of its threads. NULL, or a target without a
// function, stops them. The target is copied.
typedef struct NvTraceTarget {
  void* context;
  void (*trace)(void* context, const char* line);
} NvTraceTarget;
typedef void (*Set_TraceTarget_fn)(const NvTraceTarget* target);

#ifdef __cplusplus
}
#endif
