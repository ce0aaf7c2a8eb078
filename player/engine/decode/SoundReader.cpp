#include "decode/SoundReader.h"

namespace swf {
namespace {

SoundFormat readFormat(ByteReader& r, bool withCodec) {
    SoundFormat f;
    if (withCodec) {
        f.codec = static_cast<SoundCodec>(r.ub(4));
    }
    f.rateIndex = static_cast<uint8_t>(r.ub(2));
    f.is16Bit = r.flag();
    f.stereo = r.flag();
    return f;
}

}  // namespace

SoundInfo readSoundInfo(ByteReader& r) {
    SoundInfo info;
    uint8_t flags = r.u8();
    info.syncStop = flags & 0x20;
    info.syncNoMultiple = flags & 0x10;
    if (flags & 0x01) info.inPoint = r.u32();
    if (flags & 0x02) info.outPoint = r.u32();
    if (flags & 0x04) info.loopCount = r.u16();
    if (flags & 0x08) {
        uint8_t points = r.u8();
        info.envelope.reserve(points);
        for (uint8_t i = 0; i < points; ++i) {
            SoundEnvelopePoint p;
            p.position44 = r.u32();
            p.leftLevel = r.u16();
            p.rightLevel = r.u16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

SoundDef readDefineSound(ByteReader& r, const TagContext& ctx) {
    SoundDef s;
    s.format = readFormat(r, true);
    s.sampleCount = r.u32();
    s.data = ctx.share(r.rest());
    return s;
}

StartSound readStartSound(ByteReader& r, int startVersion) {
    StartSound s;
    if (startVersion == 2)
        s.className = r.string();
    else
        s.soundId = r.u16();
    s.info = readSoundInfo(r);
    return s;
}

SoundStreamHead readSoundStreamHead(ByteReader& r, int headVersion) {
    SoundStreamHead h;
    h.version = static_cast<uint8_t>(headVersion);
    r.ub(4);
    h.playback = readFormat(r, false);
    h.stream = readFormat(r, true);
    h.playback.codec = h.stream.codec;
    h.samplesPerFrame = r.u16();
    // The latency field is often missing from MP3 stream heads; it is then zero.
    if (h.stream.codec == SoundCodec::Mp3 && r.remaining() >= 2) h.latencySeek = r.s16();
    return h;
}

VideoStreamDef readDefineVideoStream(ByteReader& r) {
    VideoStreamDef v;
    v.frameCount = r.u16();
    v.width = r.u16();
    v.height = r.u16();
    r.ub(4);
    v.deblocking = static_cast<uint8_t>(r.ub(3));
    v.smoothing = r.flag();
    v.codec = r.u8();
    return v;
}

}  // namespace swf
