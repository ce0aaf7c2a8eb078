#pragma once
// The one exception of the readers: thrown when the bytes run out or a field is out of range.
// The movie decoder catches it per tag, so one bad tag costs that tag and never the movie.
#include <stdexcept>
#include <string>

namespace swf {

class DecodeFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void fail(const std::string& message) { throw DecodeFailure(message); }

}  // namespace swf
