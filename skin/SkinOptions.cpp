#include "SkinOptions.h"

#include "SkinArchive.h"

namespace velmora::skin {

bool skinsFormClass(std::string_view className, uint32_t skinControls, const FormSkinDecider& onFormSkin) {
    bool doSkin = true;
    if (onFormSkin) {
        onFormSkin(std::string(className), doSkin);
        return doSkin;
    }
    // Window class names are case-blind on Windows; the report classes' prefix is a spelling.
    if (asciiLower(className) == "sysmonthcal32") return false;
    if (has(skinControls, xcFastReport) && className.substr(0, 3) == "Tfr") return false;
    return doSkin;
}

}  // namespace velmora::skin
