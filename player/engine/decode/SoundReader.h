#pragma once
// Sound and video tags: formats are read, payloads kept for the decoders.
#include "core/ByteReader.h"
#include "decode/TagContext.h"
#include "model/ControlTags.h"
#include "model/Sound.h"

namespace swf {

SoundInfo readSoundInfo(ByteReader& r);
SoundDef readDefineSound(ByteReader& r, const TagContext& ctx);           // after the id
StartSound readStartSound(ByteReader& r, int startVersion);
SoundStreamHead readSoundStreamHead(ByteReader& r, int headVersion);
VideoStreamDef readDefineVideoStream(ByteReader& r);                     // after the id

}  // namespace swf
