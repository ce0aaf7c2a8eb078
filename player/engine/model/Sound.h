#pragma once
// Sound and video definitions keep their encoded payloads for the decoders that come later.
#include <cstdint>
#include <optional>
#include <vector>

#include "core/SharedBytes.h"

namespace swf {

// Any 4-bit value is kept: a codec we cannot play still leaves the sound's timing intact.
enum class SoundCodec : uint8_t {
    PcmNativeEndian = 0, Adpcm = 1, Mp3 = 2, PcmLittleEndian = 3, Nellymoser16k = 4, Nellymoser8k = 5,
    Nellymoser = 6, G711ALaw = 7, G711MuLaw = 8, Aac = 10, Speex = 11, Mp3_8k = 14, DeviceSpecific = 15,
};

struct SoundFormat {
    SoundCodec codec = SoundCodec::PcmNativeEndian;
    uint8_t rateIndex = 0;  // 0: 5.5 kHz, 1: 11 kHz, 2: 22 kHz, 3: 44 kHz
    bool is16Bit = false, stereo = false;
    uint32_t sampleRate() const { return rateIndex == 0 ? 5512 : 11025u << (rateIndex - 1); }
};

struct SoundDef {
    SoundFormat format;
    uint32_t sampleCount = 0;
    SharedBytes data;  // for MP3: SeekSamples (SI16) then frames
};

struct SoundEnvelopePoint {
    uint32_t position44 = 0;  // in 44 kHz samples
    uint16_t leftLevel = 0, rightLevel = 0;  // 0..32768
};

struct SoundInfo {
    bool syncStop = false, syncNoMultiple = false;
    std::optional<uint32_t> inPoint, outPoint;
    uint16_t loopCount = 1;
    std::vector<SoundEnvelopePoint> envelope;
};

struct SoundStreamHead {
    uint8_t version = 1;
    SoundFormat playback;
    SoundFormat stream;
    uint16_t samplesPerFrame = 0;
    int16_t latencySeek = 0;  // MP3 only
};

struct VideoStreamDef {
    uint16_t frameCount = 0, width = 0, height = 0;
    uint8_t deblocking = 0;
    bool smoothing = false;
    uint8_t codec = 0;  // 2 Sorenson H.263, 3 screen video, 4 VP6, 5 VP6 with alpha, 6 screen video 2
};

}  // namespace swf
