#include "framework/Graphic.h"

#include "framework/FileStream.h"

namespace vm {

void TGraphic::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

} // namespace vm
