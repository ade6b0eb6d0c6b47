// Fuzz target: the UI text decoder, the key lookups and the about-line cutting.
#include <cstddef>
#include <cstdint>

#include "platform/fake/fake_platform.h"
#include "settings/ui_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ravelin::FakePlatform fake;
    ravelin::UiTextTable table;
    table.load({data, size});
    for (size_t i = 0; i < table.lineCount(); ++i) {
        const std::u16string& line = table.line(i);
        // Ask for every key the line could hold, including ones longer than the line.
        if (line.size() > 1) table.uiText(std::u16string_view(line).substr(1));
        ravelin::utf16ToUtf8(line);
    }
    table.uiText(u"about_window_text");
    ravelin::cutAboutText(table.lineCount() ? table.line(0) : std::u16string());
    fake.messages.clear();
    fake.calls.clear();
    return 0;
}
