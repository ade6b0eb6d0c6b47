// Fuzz target: the factory settings parser and every lookup over whatever it built.
#include <cstddef>
#include <cstdint>

#include "platform/fake/fake_platform.h"
#include "settings/default_settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;
    // An input can raise a message per line: they are counted, not converted and kept.
    fake.captureMessages = false;
    fake.messageCount = 0;
    // The process-wide table and its free functions, as start-up and the dialog use them.
    ravelin::DefaultSettingsFile& table = ravelin::defaultSettingsFile();
    table.load({data, size});
    ravelin::ScreensaverSettings record;
    ravelin::applyDefaultsFile(record);
    ravelin::mainWebSiteUrl() = ravelin::lookupDefault("main_web_site_url");
    // Every value converted; lookups by the first few keys (each lookup scans the table, so
    // looking every key up would make an input's cost grow with its square). A key taken from
    // the table is always found, so those lookups raise no message.
    const size_t shown = fake.messageCount;
    for (size_t i = 0; i < table.size(); ++i) {
        ravelin::defaultTextToNumber(table.entry(i).second);
        if (i < 8) ravelin::defaultNumber(table.entry(i).first);
    }
    if (fake.messageCount != shown) __builtin_trap();
    return 0;
}
