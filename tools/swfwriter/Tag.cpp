#include "Tag.h"

#include <stdexcept>

namespace swfw {

void writeTag(Writer& w, const Tag& tag) {
    if (tag.code > 0x3FF) throw std::out_of_range("tag code above 1023");
    if (tag.body.size() > 0x7FFFFFFF) throw std::length_error("tag body too large");
    auto length = static_cast<uint32_t>(tag.body.size());
    if (length < 0x3F && !tag.forceLongHeader) {
        w.u16(static_cast<uint16_t>(tag.code << 6 | length));
    } else {
        w.u16(static_cast<uint16_t>(tag.code << 6 | 0x3F));
        w.u32(length);
    }
    w.bytes(tag.body);
}

}  // namespace swfw
