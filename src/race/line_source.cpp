#include "race/line_source.h"

namespace ravelin {

bool BufferLineSource::readLine(char* buffer, size_t capacity) {
    if (capacity == 0) return false;
    size_t length = 0;
    while (position_ < size_ && data_[position_] == ' ') ++position_;
    while (position_ < size_) {
        const uint8_t byte = data_[position_++];
        if (byte == '\n') {
            buffer[length] = '\0';
            return true;
        }
        if (byte != '\r' && length + 1 < capacity) buffer[length++] = static_cast<char>(byte);
    }
    buffer[length] = '\0';
    return false;
}

}  // namespace ravelin
