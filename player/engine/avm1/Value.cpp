#include "avm1/Value.h"

namespace swf::avm1 {

namespace {
thread_local size_t textAlive = 0;
}

Value::Text::Text(std::string s) : text(std::move(s)) { textAlive += text.size(); }

Value::Text::~Text() { textAlive -= text.size(); }

void Value::free(Text* text) { delete text; }

size_t Value::liveTextBytes() { return textAlive; }

const std::string& Value::noText() {
    static const std::string empty;
    return empty;
}

}  // namespace swf::avm1
