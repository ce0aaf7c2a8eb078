#include "player/ActionReader.h"

namespace swf {

std::optional<ActionRecord> ActionReader::next() {
    if (pos_ >= block_.size()) return std::nullopt;
    ActionRecord record;
    record.offset = pos_;
    record.code = block_[pos_];
    if (record.code == 0) return std::nullopt;
    size_t cursor = pos_ + 1;
    if (record.code >= 0x80) {
        if (cursor + 2 > block_.size()) {
            truncated_ = true;
            pos_ = block_.size();
            return std::nullopt;
        }
        size_t length = block_[cursor] | (size_t{block_[cursor + 1]} << 8);
        cursor += 2;
        if (cursor + length > block_.size()) {
            truncated_ = true;
            pos_ = block_.size();
            return std::nullopt;
        }
        record.payload = block_.subspan(cursor, length);
        cursor += length;
    }
    pos_ = cursor;
    return record;
}

uint8_t PayloadReader::u8() {
    if (pos_ + 1 > bytes_.size()) {
        ok_ = false;
        return 0;
    }
    return bytes_[pos_++];
}

uint16_t PayloadReader::u16() {
    if (pos_ + 2 > bytes_.size()) {
        ok_ = false;
        pos_ = bytes_.size();
        return 0;
    }
    uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::string PayloadReader::string() {
    std::string out;
    while (pos_ < bytes_.size() && bytes_[pos_] != 0) out.push_back(static_cast<char>(bytes_[pos_++]));
    if (pos_ < bytes_.size()) ++pos_;  // the terminator
    return out;
}

}  // namespace swf
