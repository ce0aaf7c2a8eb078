#pragma once
// Script values in AMF0, the form local shared objects are stored in (.sol files) and remoting
// calls travel in (NetConnection.call): numbers,
// booleans, strings, null and undefined, plain objects and arrays (with their named
// properties), dates and XML documents. An object met twice is written once and referred
// to. What cannot be stored is left out: functions, and clips and text fields (undefined).
// Reading is for untrusted files: every count is checked against the bytes left, nesting and
// references are bounded, and a damaged file yields nothing rather than half a value.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "avm1/Value.h"

namespace swf::avm1 {

class Object;
class Vm;

// Shared object files keep every array as an associative one; a remoting call sends an array
// holding only its elements as a strict array.
enum class AmfArrays { Associative, StrictWhenDense };

// NetConnection.addHeader: sent before the calls of every later request.
struct RemotingHeader {
    std::string name;
    bool mustUnderstand = false;
    Value value;
};
// One call of a request: the service method, the name its reply comes back under ("/1").
struct RemotingCall {
    std::string target;
    std::string response;
    std::vector<Value> args;
};
// A reply: its target ("/1/onResult") and value.
struct RemotingReply {
    std::string target;
    Value value;
};

// A whole .sol file: its name and, in order, the enumerable properties of `data`.
std::vector<uint8_t> encodeSharedObjectFile(Vm& vm, const std::string& name, Object* data);

// The properties a .sol file holds, set on `data`. False, with nothing set, when the file is
// damaged or not a shared object file.
bool decodeSharedObjectFile(Vm& vm, std::span<const uint8_t> file, Object* data);

// Values one after another (an FLV file's script data). False, with nothing read, when damaged.
bool decodeAmfValues(Vm& vm, std::span<const uint8_t> bytes, std::vector<Value>& values);

// The body of a remoting request: the headers, then each call with its arguments.
std::vector<uint8_t> encodeRemotingRequest(Vm& vm, const std::vector<RemotingHeader>& headers,
                                           const std::vector<RemotingCall>& calls);
// The replies a server answered with (its headers are skipped). False, with nothing read,
// when the packet is damaged.
bool decodeRemotingResponse(Vm& vm, std::span<const uint8_t> packet, std::vector<RemotingReply>& replies);

}  // namespace swf::avm1
