#include "framework/ComponentClasses.h"

#include <map>

#include "framework/Bevel.h"
#include "framework/Button.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/GroupBox.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Panel.h"
#include "framework/Text.h"
#include "framework/Timer.h"

namespace vm {

namespace {
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return UpperCase(a) < UpperCase(b); }
};
using Registry = std::map<std::string, TComponentFactory, CaseInsensitiveLess>;

template <class T> void Put(Registry& r, const char* name) {
    r[name] = [](TComponent* owner) -> TComponent* { return new T(owner); };
}

Registry& Classes() {
    static Registry registry = [] {
        Registry r;
        Put<TLabel>(r, "TLabel");
        Put<TImage>(r, "TImage");
        Put<TBevel>(r, "TBevel");
        Put<TPanel>(r, "TPanel");
        Put<TButton>(r, "TButton");
        Put<TListBox>(r, "TListBox");
        Put<TComboBox>(r, "TComboBox");
        Put<TCheckBox>(r, "TCheckBox");
        Put<TGroupBox>(r, "TGroupBox");
        Put<TTimer>(r, "TTimer");
        return r;
    }();
    return registry;
}
} // namespace

void RegisterComponentFactory(const std::string& className, TComponentFactory factory) {
    Classes()[className] = std::move(factory);
}

const TComponentFactory* FindComponentFactory(std::string_view className) {
    auto& r = Classes();
    auto it = r.find(className);
    return it == r.end() ? nullptr : &it->second;
}

} // namespace vm
