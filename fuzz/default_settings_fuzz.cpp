// Fuzz target: the factory settings parser and every lookup over whatever it built.
#include <cstddef>
#include <cstdint>

#include "platform/fake/fake_platform.h"
#include "settings/default_settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;  // captures the messages instead of showing them
    ravelin::DefaultSettingsFile table;
    table.load({data, size});
    ravelin::ScreensaverSettings record;
    table.applyDefaultsFile(record);
    for (size_t i = 0; i < table.size(); ++i) table.defaultNumber(table.entry(i).first);
    table.lookupDefault("main_web_site_url");
    fake.messages.clear();
    fake.calls.clear();
    return 0;
}
