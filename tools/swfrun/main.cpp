// swfrun MOVIE.swf [--frames N | --ticks N] [--input events.json] [--log-fetch] [--socket script.json]
// Plays the movie headless for N frames (default 1; ticks count as frames) and prints what
// its scripts trace, one line per trace line; fscommand("quit") ends the run early.
// --log-fetch adds a few lines for each file fetched and each page opened in a browser.
// --socket plays the server the movie's XMLSocket reaches from a script (socket.json form);
// without it every connection is refused.
// Exit codes: 0 played, 1 the movie or the input cannot be read, 2 bad usage. Failures are
// one line on stderr, as is a note when scripts were stopped by a limit.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "TraceRun.h"

namespace {

int usage(const std::string& problem) {
    std::fprintf(stderr, "swfrun: %s (usage: swfrun MOVIE.swf [--frames N | --ticks N] [--input events.json] [--log-fetch] [--socket script.json])\n",
                 problem.c_str());
    return 2;
}

constexpr long kMaxFrames = 1'000'000;

}  // namespace

int main(int argc, char** argv) {
    std::string movie, inputFile, socketFile;
    long frames = 1;
    bool framesGiven = false;
    bool logFetch = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--frames" || arg == "--ticks") {
            if (framesGiven) return usage("give --frames or --ticks once");
            if (i + 1 >= argc) return usage(std::string(arg) + " wants a count");
            std::string_view v = argv[++i];
            auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), frames);
            if (ec != std::errc() || end != v.data() + v.size() || frames < 1 || frames > kMaxFrames)
                return usage(std::string(arg) + " wants a count from 1 to 1000000");
            framesGiven = true;
        } else if (arg == "--input") {
            if (i + 1 >= argc) return usage("--input wants a file");
            inputFile = argv[++i];
        } else if (arg == "--socket") {
            if (i + 1 >= argc) return usage("--socket wants a file");
            socketFile = argv[++i];
        } else if (arg == "--log-fetch") {
            logFetch = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + std::string(arg));
        } else if (movie.empty()) {
            movie = arg;
        } else {
            return usage("one movie only");
        }
    }
    if (movie.empty()) return usage("no movie given");

    swf::tools::TraceRunOptions options;
    options.frames = static_cast<int>(frames);
    options.logRequests = logFetch;
    if (!inputFile.empty()) {
        std::string error;
        options.input = swf::tools::readInputFile(inputFile, error);
        if (!error.empty()) {
            std::fprintf(stderr, "swfrun: %s: %s\n", inputFile.c_str(), error.c_str());
            return 1;
        }
    }
    if (!socketFile.empty()) {
        std::string error;
        options.socketScript = swf::tools::readSocketScript(socketFile, error);
        if (!error.empty()) {
            std::fprintf(stderr, "swfrun: %s: %s\n", socketFile.c_str(), error.c_str());
            return 1;
        }
        options.hasSocketScript = true;
    }
    swf::tools::TraceRunResult result = swf::tools::runForTraces(movie, options);
    if (!result.error.empty()) {
        std::fprintf(stderr, "swfrun: %s: %s\n", movie.c_str(), result.error.c_str());
        return 1;
    }
    for (const std::string& line : result.lines) std::printf("%s\n", line.c_str());
    if (!result.socketFailure.empty()) std::fprintf(stderr, "swfrun: socket: %s\n", result.socketFailure.c_str());
    // Stopped scripts are worth knowing about but are no failure: the movie played on.
    if (result.scriptsAborted > 0)
        std::fprintf(stderr, "swfrun: %llu script(s) stopped by a limit\n",
                     static_cast<unsigned long long>(result.scriptsAborted));
    return 0;
}
