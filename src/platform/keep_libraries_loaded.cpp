// Test and sanitizer executables keep every dynamically loaded library resident until the process ends.
// Mesa loads its DRI driver with each GL context and unloads it when the display closes; a leak
// inside the driver would then be reported with addresses of an unmapped library, which neither
// symbolises nor matches the system-library suppressions. Making dlclose a no-op (the executable's
// definition takes precedence for every library) keeps those reports attributable.
extern "C" int dlclose(void*) { return 0; }
