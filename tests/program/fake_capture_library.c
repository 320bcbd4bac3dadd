/* A stand-in for the input-capture library that the running program loads like the
   real one. The test drives it through the fake_capture_* functions: input is posted
   to the installed window only while its kind is enabled, as the real library does,
   and each input's time is kept for hookeventtime. Every entry point call is recorded. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "input_capture/hook_abi.h"

#define MAX_TIMES 1024

static NvPostTarget target;
static int installed, keys_on, mouse_on, wheel_on, refuse;
static int scope = NV_CAPTURE_X11;
static char calls[4096];

struct input_time {
  uintptr_t wparam;
  intptr_t lparam;
  int64_t at;
  int taken;
};
static struct input_time times[MAX_TIMES];
static int time_count;

static void record(const char* call) {
  if (strlen(calls) + strlen(call) + 2 < sizeof calls) {
    strcat(calls, call);
    strcat(calls, ";");
  }
}

static void record_switch(const char* name, int on) {
  char call[64];
  snprintf(call, sizeof call, "%s(%d)", name, on);
  record(call);
}

int installhook(NvPostTarget* window) {
  record("installhook");
  if (window == NULL || refuse) return 0;
  target = *window;
  installed = 1;
  return 1;
}
int installmousehook(NvPostTarget* window) { return installhook(window); }
int removehook(void) { record("removehook"); installed = 0; return 1; }
int removemousehook(void) { record("removemousehook"); return 1; }
int enablehook(int on) { record_switch("enablehook", on); keys_on = on; return 1; }
int enablemousehook(int on) { record_switch("enablemousehook", on); mouse_on = on; return 1; }
int mousewheelenable(int on) { record_switch("mousewheelenable", on); wheel_on = on; return 1; }
int hookcapturescope(void) { return installed ? scope : NV_CAPTURE_NONE; }

int hookeventtime(uintptr_t wparam, intptr_t lparam, int64_t* milliseconds) {
  for (int i = 0; i < time_count; ++i) {
    if (!times[i].taken && times[i].wparam == wparam && times[i].lparam == lparam) {
      times[i].taken = 1;
      *milliseconds = times[i].at;
      return 1;
    }
  }
  return 0;
}

void hooksettrace(void (*sink)(const char*)) { (void)sink; }

/* ---- the test's side */

void fake_capture_reset(void) {
  memset(&target, 0, sizeof target);
  installed = keys_on = mouse_on = wheel_on = refuse = 0;
  scope = NV_CAPTURE_X11;
  calls[0] = 0;
  time_count = 0;
}

const char* fake_capture_calls(void) { return calls; }
void fake_capture_clear_calls(void) { calls[0] = 0; }
void fake_capture_set_scope(int value) { scope = value; }
void fake_capture_refuse(int on) { refuse = on; }
int fake_capture_installed(void) { return installed; }
int fake_capture_mouse_enabled(void) { return mouse_on; }

/* Input that happened at `at` ms: posted as message 1034 when the capture would see it.
   Returns 1 when posted. */
int fake_capture_input(uintptr_t wparam, intptr_t lparam, int64_t at) {
  const int mouse = wparam >= NV_WM_LBUTTONDOWN && wparam <= NV_WM_MOUSEHWHEEL;
  const int wheel = wparam == NV_WM_MOUSEWHEEL || wparam == NV_WM_MOUSEHWHEEL;
  if (!installed || (wheel ? !wheel_on : mouse ? !mouse_on : !keys_on)) return 0;
  if (time_count < MAX_TIMES) {
    times[time_count].wparam = wparam;
    times[time_count].lparam = lparam;
    times[time_count].at = at;
    times[time_count].taken = 0;
    ++time_count;
  }
  target.post(target.context, NV_HOOK_MESSAGE, wparam, lparam);
  return 1;
}
