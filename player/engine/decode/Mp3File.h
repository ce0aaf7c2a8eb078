#pragma once
// What a script learns of an MP3 file it loads (Sound.loadSound) without decoding a sample:
// how long it plays, counted from the headers of its frames, and the text of its ID3v2 tag.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

struct Id3Frame {
    std::string id;    // "TIT2", "COMM"...
    std::string text;  // as UTF-8
};

struct Mp3File {
    bool hasTag = false;  // an ID3v2 tag leads the file
    std::vector<Id3Frame> tagFrames;  // its text and comment frames, in file order
    uint64_t samples = 0;   // per channel, summed over the audio frames
    uint32_t sampleRate = 0;  // of the first frame; 0 when no audio frame was found
    // Whole milliseconds, rounded; 0 without audio.
    double durationMillis() const;
};

// Reads what it can: damaged headers are skipped, a tag running past the data is cut there.
Mp3File readMp3File(std::span<const uint8_t> bytes);

}  // namespace swf
