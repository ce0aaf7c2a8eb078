#pragma once
// Script values in AMF0, the form local shared objects are stored in (.sol files): numbers,
// booleans, strings, null and undefined, plain objects and arrays (with their named
// properties), dates and XML documents. An object met twice is written once and referred
// to. What cannot be stored is left out: functions, and clips and text fields (undefined).
// Reading is for untrusted files: every count is checked against the bytes left, nesting and
// references are bounded, and a damaged file yields nothing rather than half a value.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf::avm1 {

class Object;
class Vm;

// A whole .sol file: its name and, in order, the enumerable properties of `data`.
std::vector<uint8_t> encodeSharedObjectFile(Vm& vm, const std::string& name, Object* data);

// The properties a .sol file holds, set on `data`. False, with nothing set, when the file is
// damaged or not a shared object file.
bool decodeSharedObjectFile(Vm& vm, std::span<const uint8_t> file, Object* data);

}  // namespace swf::avm1
