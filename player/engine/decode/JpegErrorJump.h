#pragma once
// libjpeg reports a fatal error by calling error_exit, which must not return. This manager
// jumps back to the setjmp of whoever started the (de)compression, with the message kept,
// so the error leaves libjpeg's frames before it becomes a result or an exception.
// Include <cstdio> (jpeglib.h needs FILE and size_t) and <jpeglib.h> before this header.
#include <csetjmp>

namespace swf {

struct JpegErrorJump {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];

    // Installs this manager on `info` (a compress or decompress struct). Warnings are
    // dropped: libjpeg recovers from corrupt data itself.
    template <class Info>
    void installOn(Info& info) {
        info.err = jpeg_std_error(&base);
        base.error_exit = [](j_common_ptr common) {
            auto* self = reinterpret_cast<JpegErrorJump*>(common->err);
            self->base.format_message(common, self->message);
            std::longjmp(self->jump, 1);
        };
        base.emit_message = [](j_common_ptr, int) {};
    }
};

}  // namespace swf
