#pragma once
/* The C interface of the input-capture library (Hook.so beside the executable). It
   captures key and mouse-button input, system-wide where the session allows it, and
   posts each event to the window that installed it as message 1034:

     first number (wparam): a Windows virtual-key code (0x41 is the key that types A in
       the active layout), or for mouse buttons the Windows mouse message;
     second number (lparam): for keys 0 on press and 1 on release; for the extra mouse
       buttons which one (NV_XBUTTON_*); for the wheel the distance (120 a notch).

   A held key gives one press and one release, never repeats. Entry points are called
   from the program's UI thread; the capture may post from a thread of its own. */

#include <stdint.h>

#include "drivers/driver_api.h"

#ifdef __cplusplus
extern "C" {
#endif

#define NV_HOOK_MESSAGE 1034

/* First numbers of mouse input. */
#define NV_WM_LBUTTONDOWN 513
#define NV_WM_LBUTTONUP 514
#define NV_WM_RBUTTONDOWN 516
#define NV_WM_RBUTTONUP 517
#define NV_WM_MBUTTONDOWN 519
#define NV_WM_MBUTTONUP 520
#define NV_WM_MOUSEWHEEL 522
#define NV_WM_XBUTTONDOWN 523
#define NV_WM_XBUTTONUP 524
#define NV_WM_MOUSEHWHEEL 526
/* Second number of the extra buttons: recording stores 1 as Forward_Button and 2 as
   Backward_Button. */
#define NV_XBUTTON_FORWARD 1
#define NV_XBUTTON_BACK 2

/* Where the capture sees input (hookcapturescope). */
#define NV_CAPTURE_NONE 0                /* not capturing */
#define NV_CAPTURE_X11 1                 /* system-wide: X11 (XInput2 raw events) */
#define NV_CAPTURE_INPUT_DEVICES 2       /* system-wide: the input devices (/dev/input) */
#define NV_CAPTURE_WINDOWS_WAYLAND 3     /* own windows only: Wayland, input devices not readable */
#define NV_CAPTURE_WINDOWS_NO_ACCESS 4   /* own windows only: no X11 display, input devices not readable */
#define NV_CAPTURE_WINDOWS_CHOSEN 5      /* own windows only: NORVANE_INPUT_CAPTURE=window */

/* `window` is where captured input is posted (message 1034); the struct is copied.
   Installing again only changes the window. 1: capturing, 0: no way to capture. */
typedef int (*nv_installhook_fn)(NvPostTarget* window);
typedef int (*nv_installmousehook_fn)(NvPostTarget* window); /* the same as installhook */
/* Stop capturing; when they return, nothing more is posted. */
typedef int (*nv_removehook_fn)(void);
typedef int (*nv_removemousehook_fn)(void);
/* 1 enables, 0 disables the delivery of keys, mouse buttons, the wheel. All start
   disabled and keep their setting across install and remove. */
typedef int (*nv_enablehook_fn)(int enable);
typedef int (*nv_enablemousehook_fn)(int enable);
typedef int (*nv_mousewheelenable_fn)(int enable);

/* Beyond the seven: */
/* Where the current capture sees input (NV_CAPTURE_*). */
typedef int (*nv_hookcapturescope_fn)(void);
/* The time an event happened, in milliseconds of the monotonic clock (the program's
   steady clock). Takes the oldest posted event with these two numbers whose time was
   not taken yet, dropping older ones never asked for; 1 when found. */
typedef int (*nv_hookeventtime_fn)(uintptr_t wparam, intptr_t lparam, int64_t* milliseconds);
/* Where the library writes its trace lines (any thread); null drops them. */
typedef void (*nv_hooktrace_sink)(const char* line);
typedef void (*nv_hooksettrace_fn)(nv_hooktrace_sink sink);

#ifdef __cplusplus
}
#endif
