/* A driver library that lacks SetFeature and the report channel: the loader
   must refuse it for every link. Each call it does offer is counted. */
#include <stdint.h>

#define EXPORT __attribute__((visibility("default")))

struct NvPostTarget;
static int calls;

EXPORT int Set_VIDPID(int vendor_id, int product_id) { (void)vendor_id; (void)product_id; return ++calls; }
EXPORT int Open_DevMonitor(struct NvPostTarget* window, uint32_t event_message, uint32_t link_message) {
  (void)window; (void)event_message; (void)link_message;
  return ++calls;
}
EXPORT int Close_DevMonitor(void) { return ++calls; }
EXPORT int Open_FeatureDevice(void) { return ++calls; }
EXPORT int Close_FeatureDevice(void) { return ++calls; }
EXPORT int GetFeature(unsigned char* buffer, int length) { (void)buffer; (void)length; return ++calls; }
EXPORT int ReadUSB(unsigned char* buffer, int length) { (void)buffer; (void)length; return ++calls; }
