#include "framework/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "framework/Errors.h"
#include "framework/Stream.h"

extern "C" {
#include <jpeglib.h>
}

namespace vm {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; a C++ exception must
// not cross libjpeg's C frames, so we jump back to DecodeJpeg and raise from there.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char warning[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Level -1 messages are warnings about corrupt data (a truncated file decodes as grey);
// the first one is kept and turned into an error after decoding.
void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level == -1 && !err->warning[0]) (*cinfo->err->format_message)(cinfo, err->warning);
}

// Decodes into `bitmap`; returns false with err->message set on a libjpeg error. Holds no
// object with a destructor between setjmp and any longjmp.
bool DecodeJpeg(jpeg_decompress_struct& cinfo, ErrorManager& err, const unsigned char* data, std::size_t size,
                TBitmap& bitmap, std::vector<unsigned char>& row) {
    if (setjmp(err.jump)) return false;
    jpeg_mem_src(&cinfo, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    bitmap.SetSize(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    row.resize(static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components);
    bool inverted = cmyk && cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        std::uint32_t* out = bitmap.ScanLine(y);
        for (unsigned x = 0; x < cinfo.output_width; ++x) {
            const unsigned char* px = row.data() + static_cast<std::size_t>(x) * cinfo.output_components;
            unsigned r, g, b;
            if (cmyk) {
                unsigned c = px[0], m = px[1], ye = px[2], k = px[3];
                if (!inverted) { c = 255 - c; m = 255 - m; ye = 255 - ye; k = 255 - k; }
                r = c * k / 255; g = m * k / 255; b = ye * k / 255;
            } else {
                r = px[0]; g = px[1]; b = px[2];
            }
            out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

void TJPEGImage::LoadFromStream(TStream& stream) {
    std::string bytes = stream.ReadAll();
    std::vector<unsigned char> data(bytes.begin(), bytes.end());
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw EInvalidGraphic("JPEG image is not valid (no JPEG start marker)");

    TBitmap decoded;
    std::vector<unsigned char> row;
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    jpeg_create_decompress(&cinfo);
    bool ok = false;
    try {
        ok = DecodeJpeg(cinfo, err, data.data(), data.size(), decoded, row);
    } catch (...) {
        jpeg_destroy_decompress(&cinfo);
        throw;
    }
    jpeg_destroy_decompress(&cinfo);
    if (!ok) throw EInvalidGraphic(std::string("JPEG image is not valid: ") + err.message);
    if (err.warning[0]) throw EInvalidGraphic(std::string("JPEG image is not valid: ") + err.warning);
    bitmap_.SetSize(decoded.Width(), decoded.Height());
    for (int y = 0; y < decoded.Height(); ++y)
        std::memcpy(bitmap_.ScanLine(y), decoded.ScanLine(y), static_cast<std::size_t>(decoded.Width()) * 4);
    data_ = std::move(data);
}

void TJPEGImage::SaveToStream(TStream& stream) const { stream.WriteBuffer(data_.data(), data_.size()); }

} // namespace vm
