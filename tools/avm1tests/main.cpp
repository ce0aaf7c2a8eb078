// avm1tests --corpus DIR [--floor FILE | --write-floor FILE] [--verbose] [--only NAME]
// Runs the corpus's ActionScript 1/2 trace tests (ruffle and ruffle-shumway folders, movies
// without ActionScript 3) and prints per folder and version group (SWF 8 or lower, later):
// how many tests there are, how many match their expected output, how many the peer marks
// as known failures (and how many of the others match), and how many are skipped because
// they need a network. Each test runs in a child process with a time limit, so a crash or
// a hang counts as a failure instead of ending the run.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "FloorFile.h"
#include "Json.h"
#include "TraceCompare.h"
#include "TraceRun.h"

namespace fs = std::filesystem;
using namespace swf::tools;

namespace {

constexpr int kTimeoutSeconds = 20;
constexpr int kMaxFrames = 10000;

struct TestCase {
    fs::path dir;
    std::string folder;  // "ruffle" or "ruffle-shumway"
    std::string name;    // path under the folder
    bool swf8 = true;
    bool knownFailure = false;
    bool networking = false;
    int frames = 1;
    bool logFetch = false;  // the expected lines include the movie's fetches and navigations
    Approximations approx;
};

enum class Outcome { Pass, Fail, Crash, Timeout };

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Fetches are served from the test's folder and a socket's server is played from the test's
// socket.json: only a socket test without that script needs a network the runner lacks.
bool needsNetwork(const fs::path& dir) {
    std::string leaf = dir.filename().string();
    return leaf.rfind("xml_socket", 0) == 0 && !fs::exists(dir / "socket.json");
}

std::vector<TestCase> findTests(const fs::path& corpus) {
    std::vector<TestCase> tests;
    for (const char* folder : {"ruffle", "ruffle-shumway"}) {
        fs::path root = corpus / folder;
        if (!fs::is_directory(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.path().filename() != "meta.json") continue;
            std::string error;
            Json meta = Json::parse(readText(entry.path()), error);
            if (!error.empty() || meta["expected_traces"].array().empty()) continue;
            if (static_cast<int>(meta["swf"]["fileattrs"].number(0)) & 8) continue;  // ActionScript 3
            TestCase t;
            t.dir = entry.path().parent_path();
            t.folder = folder;
            t.name = fs::relative(t.dir, root).generic_string();
            t.swf8 = meta["swf"]["version"].number(0) <= 8;
            t.knownFailure = meta["ruffle_known_failure"].boolean(false);
            t.networking = needsNetwork(t.dir);
            const Json& config = meta["config"];
            double frames = config["num_frames"].isNumber() ? config["num_frames"].number() : config["num_ticks"].number(1);
            t.frames = std::clamp(static_cast<int>(frames), 1, kMaxFrames);
            t.logFetch = config["log_fetch"].boolean(false);
            const Json& approx = config["approximations"];
            if (approx.isObject()) {
                t.approx.enabled = true;
                t.approx.epsilon = approx["epsilon"].number(0);
                for (const Json& p : approx["number_patterns"].array()) t.approx.numberPatterns.push_back(p.string());
            }
            tests.push_back(std::move(t));
        }
    }
    std::sort(tests.begin(), tests.end(), [](const TestCase& a, const TestCase& b) {
        return a.folder != b.folder ? a.folder < b.folder : a.name < b.name;
    });
    return tests;
}

// Runs the test in a child process; its trace lines come back through a pipe.
Outcome runIsolated(const TestCase& t, std::vector<std::string>& lines) {
    int fds[2];
    if (pipe(fds) != 0) return Outcome::Crash;
    pid_t pid = fork();
    if (pid < 0) return Outcome::Crash;
    if (pid == 0) {
        close(fds[0]);
        TraceRunOptions options;
        options.frames = t.frames;
        options.logRequests = t.logFetch;
        if (fs::exists(t.dir / "socket.json")) {
            std::string error;
            options.socketScript = readSocketScript(t.dir / "socket.json", error);
            options.hasSocketScript = error.empty();
        }
        if (fs::exists(t.dir / "input.json")) {
            std::string error;
            options.input = readInputFile(t.dir / "input.json", error);
        }
        TraceRunResult r = runForTraces(t.dir / "test.swf", options);
        std::string out;
        for (const std::string& l : r.lines) out += l + "\n";
        size_t done = 0;
        while (done < out.size()) {
            ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeoutSeconds);
    bool timedOut = false;
    char buf[65536];
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready <= 0) continue;
        ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<size_t>(n));
    }
    close(fds[0]);
    if (timedOut) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (timedOut) return Outcome::Timeout;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return Outcome::Crash;
    lines = splitOutput(text);
    return Outcome::Pass;
}

struct Group {
    int tests = 0, passed = 0, knownFailures = 0, peerPasses = 0, passedOfPeerPasses = 0, skipped = 0;
    int crashed = 0, timedOut = 0;
};

using floorfile::Figures;

int usage() {
    std::fprintf(stderr, "usage: avm1tests --corpus DIR [--floor FILE | --write-floor FILE] [--verbose] [--only NAME]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string corpus, floorFile, writeFloor, only;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--corpus" && i + 1 < argc) corpus = argv[++i];
        else if (a == "--floor" && i + 1 < argc) floorFile = argv[++i];
        else if (a == "--write-floor" && i + 1 < argc) writeFloor = argv[++i];
        else if (a == "--only" && i + 1 < argc) only = argv[++i];
        else if (a == "--verbose") verbose = true;
        else return usage();
    }
    if (corpus.empty()) return usage();

    std::map<std::string, Group> groups;
    for (const TestCase& t : findTests(corpus)) {
        if (!only.empty() && t.name.find(only) == std::string::npos) continue;
        Group& g = groups[t.folder + (t.swf8 ? ".swf8" : ".later")];
        ++g.tests;
        if (t.knownFailure) ++g.knownFailures;
        else ++g.peerPasses;
        if (t.networking) {
            ++g.skipped;
            if (verbose) std::printf("%-6s %s/%s [%s]\n", "skip", t.folder.c_str(), t.name.c_str(), t.swf8 ? "swf8" : "later");
            continue;
        }
        std::vector<std::string> lines;
        Outcome outcome = runIsolated(t, lines);
        bool pass = false;
        if (outcome == Outcome::Pass) pass = tracesMatch(lines, splitOutput(readText(t.dir / "output.txt")), t.approx);
        if (outcome == Outcome::Crash) ++g.crashed;
        if (outcome == Outcome::Timeout) ++g.timedOut;
        if (pass) {
            ++g.passed;
            if (!t.knownFailure) ++g.passedOfPeerPasses;
        }
        if (verbose)
            std::printf("%-6s %s/%s [%s]%s\n",
                        pass ? "pass" : outcome == Outcome::Crash ? "CRASH" : outcome == Outcome::Timeout ? "HANG" : "fail",
                        t.folder.c_str(), t.name.c_str(), t.swf8 ? "swf8" : "later", t.knownFailure ? " (peer known failure)" : "");
    }

    Figures figures;
    for (const auto& [key, g] : groups) {
        std::printf("%-22s tests %3d  match %3d (%5.1f%%)  peer-known-failures %3d  match of peer passes %3d/%3d (%5.1f%%)  "
                    "skipped-network %d  crashed %d  hung %d\n",
                    key.c_str(), g.tests, g.passed, g.tests ? 100.0 * g.passed / g.tests : 0.0, g.knownFailures,
                    g.passedOfPeerPasses, g.peerPasses, g.peerPasses ? 100.0 * g.passedOfPeerPasses / g.peerPasses : 0.0,
                    g.skipped, g.crashed, g.timedOut);
        figures[key + ".matched"] = g.passed;
        figures[key + ".matched_of_peer_passes"] = g.passedOfPeerPasses;
    }

    return floorfile::finish("avm1tests", writeFloor,
                             "# Script trace tests matched, last reached; the avm1tests.floor test fails below them.\n"
                             "# Update after an improvement: build/native/tools/avm1tests/avm1tests --corpus <corpus> "
                             "--write-floor tools/avm1tests/floor.txt\n",
                             floorFile, figures);
}
