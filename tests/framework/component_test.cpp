// Components: ownership, names, and published properties read and written by name.
#include <gtest/gtest.h>

#include "framework/Framework.h"

using namespace vm;

namespace {

// A component class with one of each kind of published property, as a new control would add.
class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TProbe"; }
    static const TPropertyTable& ClassProperties() {
        static const TPropertyTable table = [] {
            TPropertyTable t(&TComponent::ClassProperties());
            t.Integer<TProbe>("Count", &TProbe::Count, &TProbe::SetCount);
            t.Enum<TProbe, TAlign>("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
                                   &TProbe::Align, &TProbe::SetAlign);
            t.Add<TProbe>("Blob", TValueKind::Binary,
                [](const TProbe& p) { return TValue::MakeBinary(p.blob); },
                [](TProbe& p, const TValue& v) { p.blob = v.AsBinary(); });
            t.Event<TProbe>("OnPing", &TProbe::OnPing);
            return t;
        }();
        return table;
    }
    const TPropertyTable& Properties() const override { return ClassProperties(); }
    int Count() const { return count; }
    void SetCount(int v) { count = v; }
    TAlign Align() const { return align; }
    void SetAlign(TAlign a) { align = a; }
    void Loaded() override { ++loadedCalls; }

    int count = 0;
    TAlign align = TAlign::alNone;
    std::vector<std::uint8_t> blob;
    TNotifyEvent OnPing;
    int loadedCalls = 0;
};

class TDestroyTracker : public TComponent {
public:
    TDestroyTracker(TComponent* owner, std::vector<std::string>& log, std::string tag)
        : TComponent(owner), log_(log), tag_(std::move(tag)) {}
    ~TDestroyTracker() override { log_.push_back(tag_); }
private:
    std::vector<std::string>& log_;
    std::string tag_;
};

} // namespace

TEST(Component, OwnerFreesItsComponentsNewestFirstAndForgetsEarlyLeavers) {
    std::vector<std::string> log;
    {
        TComponent owner(nullptr);
        new TDestroyTracker(&owner, log, "a");
        auto* b = new TDestroyTracker(&owner, log, "b");
        new TDestroyTracker(&owner, log, "c");
        delete b;   // leaves the owner's list; must not be freed twice
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(log, (std::vector<std::string>{"b"}));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"b", "c", "a"}));
}

TEST(Component, NamesAreIdentifiersAndUniqueUnderOneOwner) {
    TComponent owner(nullptr);
    auto* first = new TProbe(&owner);
    first->SetName("Button1");
    auto* second = new TProbe(&owner);
    EXPECT_THROW(second->SetName("button1"), EComponentError);   // names compare without case
    EXPECT_THROW(second->SetName("1Button"), EComponentError);
    EXPECT_THROW(second->SetName("Has Space"), EComponentError);
    second->SetName("Button2");
    EXPECT_EQ(owner.FindComponent("BUTTON2"), second);
    EXPECT_EQ(owner.FindComponent("Nope"), nullptr);
    EXPECT_EQ(&owner.Component<TProbe>("Button1"), first);
    EXPECT_THROW(owner.Component<TLabel>("Button1"), EComponentError);
    EXPECT_THROW(owner.Component<TProbe>("Missing"), EComponentError);
}

TEST(Component, StateIsNeverDesigningAndEndLoadingCallsLoaded) {
    TProbe p(nullptr);
    EXPECT_FALSE(p.Designing());
    p.BeginLoading();
    EXPECT_TRUE(p.Loading());
    p.EndLoading();
    EXPECT_FALSE(p.Loading());
    EXPECT_EQ(p.loadedCalls, 1);
}

TEST(Properties, ReadAndWriteEveryKindByName) {
    TProbe p(nullptr);
    p.SetProperty("count", TValue::Integer(42));
    EXPECT_EQ(p.count, 42);
    EXPECT_EQ(p.GetProperty("Count").AsInteger(), 42);
    p.SetProperty("Align", TValue::MakeIdent("alClient"));
    EXPECT_EQ(p.align, TAlign::alClient);
    EXPECT_EQ(p.GetProperty("Align").AsIdent(), "alClient");
    p.SetProperty("Blob", TValue::MakeBinary({1, 2, 3}));
    EXPECT_EQ(p.GetProperty("Blob").AsBinary(), (std::vector<std::uint8_t>{1, 2, 3}));
    p.SetProperty("Tag", TValue::Integer(-7));
    p.SetProperty("HelpKeyword", TValue::Text("https://example.org/page"));
    EXPECT_EQ(p.Tag(), -7);
    EXPECT_EQ(p.GetProperty("HelpKeyword").AsText(), "https://example.org/page");
}

TEST(Properties, MisfitsAreClearErrorsAndLeaveTheValueAlone) {
    TProbe p(nullptr);
    p.SetName("Probe");
    p.count = 5;
    try {
        p.SetProperty("Count", TValue::Text("five"));
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_NE(std::string(e.what()).find("Count"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("integer"), std::string::npos) << e.what();
    }
    EXPECT_EQ(p.count, 5);
    try {
        p.SetProperty("Align", TValue::MakeIdent("alMiddle"));
        FAIL() << "no error";
    } catch (const EPropertyError& e) {
        EXPECT_NE(std::string(e.what()).find("alMiddle"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("alClient"), std::string::npos) << "lists what is allowed: " << e.what();
    }
    EXPECT_THROW(p.SetProperty("NoSuchThing", TValue::Integer(1)), EPropertyError);
    EXPECT_THROW(p.GetProperty("NoSuchThing"), EPropertyError);
    EXPECT_THROW(p.SetProperty("Count", TValue::Integer(1LL << 40)), EPropertyError);
}

TEST(Properties, EventsAreAssignedByHandlerNameWithMatchingParameters) {
    struct TOwnerForm : TComponent {
        TOwnerForm() : TComponent(nullptr) {
            RegisterHandler("Ping", &TOwnerForm::Ping);
            RegisterHandler("KeyHandler", &TOwnerForm::KeyHandler);
        }
        void Ping(TComponent* sender) { pinged = sender; }
        void KeyHandler(TComponent*, char& key) { key = 0; }
        TComponent* pinged = nullptr;
    } form;
    auto* p = new TProbe(&form);
    p->SetProperty("OnPing", TValue::MakeIdent("Ping"));
    ASSERT_TRUE(p->OnPing);
    p->OnPing(p);
    EXPECT_EQ(form.pinged, p);
    EXPECT_EQ(p->GetProperty("OnPing").AsEvent(), "Ping");
    EXPECT_THROW(p->SetProperty("OnPing", TValue::MakeIdent("KeyHandler")), EPropertyError);   // wrong parameters
    EXPECT_THROW(p->SetProperty("OnPing", TValue::MakeIdent("Missing")), EPropertyError);
    p->SetProperty("OnPing", TValue::MakeEvent(""));
    EXPECT_FALSE(p->OnPing);
}

TEST(Properties, ControlsPublishWhatTheSkinEngineAsksFor) {
    TForm form(nullptr);
    auto* button = new TButton(&form);
    button->SetParent(&form);
    button->SetProperty("Caption", TValue::Text("PLAY"));
    button->SetProperty("Default", TValue::Boolean(true));
    button->SetProperty("Font.Style", TValue::MakeSet({"fsBold"}));
    button->SetProperty("Font.Color", TValue::MakeIdent("clBlue"));
    EXPECT_EQ(button->GetProperty("Caption").AsText(), "PLAY");
    EXPECT_TRUE(button->GetProperty("Default").AsBoolean());
    EXPECT_EQ(button->GetProperty("Font.Style").AsSet(), (std::vector<std::string>{"fsBold"}));
    EXPECT_EQ(button->Font().Color(), clBlue);
    EXPECT_FALSE(button->ParentFont());   // its own font now
    auto* label = new TLabel(&form);
    label->SetProperty("Color", TValue::Integer(0x00123456));
    EXPECT_EQ(label->GetProperty("Color").AsColour(), 0x00123456u);
    EXPECT_EQ(label->GetProperty("Color").ToString(), "$00123456");
    EXPECT_FALSE(label->HasProperty("Default"));
    // Every published property can be read back.
    for (const TPropertyInfo* info : button->Properties().All()) EXPECT_NO_THROW(info->get(*button)) << info->name;
}

TEST(Properties, ChildrenFollowTheParentFontUntilGivenTheirOwn) {
    TForm form(nullptr);
    auto* follower = new TLabel(&form);
    follower->SetParent(&form);
    auto* own = new TLabel(&form);
    own->SetParent(&form);
    own->Font().SetHeight(-20);
    form.Font().SetName("Arial");
    EXPECT_EQ(follower->Font().Name(), "Arial");
    EXPECT_EQ(own->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(own->Font().Height(), -20);
}
