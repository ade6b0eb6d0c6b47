// Fuzz target: the UI text decoder, the key lookups and the about-line cutting, through the
// process-wide table and about lines as start-up loads them.
#include <cstddef>
#include <cstdint>

#include "platform/fake/fake_platform.h"
#include "settings/ui_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;
    fake.captureMessages = false;  // a missing key raises a message: counted only
    ravelin::loadUiText({data, size});
    const ravelin::UiTextTable& table = ravelin::uiTextTable();
    for (size_t i = 0; i < table.lineCount(); ++i) {
        const std::u16string& line = table.line(i);
        // Ask for the key the line could hold, including ones longer than the line (the first
        // lines only: each lookup scans the table).
        if (i < 8 && line.size() > 1) ravelin::uiText(std::u16string_view(line).substr(1));
        ravelin::utf16ToUtf8(line);
    }
    for (const std::u16string& about : ravelin::aboutLines()) ravelin::utf16ToUtf8(about);
    ravelin::cutAboutText(table.lineCount() ? table.line(0) : std::u16string());
    return 0;
}
