/* A stand-in for the input hook library: records which entry points were called, in
   order. Built twice: with every entry point, and (FAKE_HOOK_PARTIAL) without the two
   mouse-hook functions, like an older or damaged library. */
#include <string.h>

static char calls[256];

static void record(const char* name) {
  if (strlen(calls) + strlen(name) + 2 < sizeof calls) {
    strcat(calls, name);
    strcat(calls, ";");
  }
}

const char* fake_hook_calls(void) { return calls; }
void fake_hook_clear(void) { calls[0] = 0; }

int installhook(void* window) { (void)window; record("installhook"); return 1; }
int removehook(void) { record("removehook"); return 1; }
int enablehook(int on) { (void)on; record("enablehook"); return 1; }
int mousewheelenable(int on) { (void)on; record("mousewheelenable"); return 1; }
#ifndef FAKE_HOOK_PARTIAL
int installmousehook(void* window) { (void)window; record("installmousehook"); return 1; }
int removemousehook(void) { record("removemousehook"); return 1; }
int enablemousehook(int on) { (void)on; record("enablemousehook"); return 1; }
#endif

/* Trace lines: the program hands its sink over; fake_hook_say writes a line through it. */
static void (*trace_sink)(const char*);
void hooksettrace(void (*sink)(const char*)) { trace_sink = sink; }
void fake_hook_say(const char* line) { if (trace_sink) trace_sink(line); }
