#pragma once
// TComponent: the unit of ownership and of publishing. An owner frees the components it owns
// (in reverse order of insertion); a component freed earlier leaves its owner's list. Each
// component publishes properties through its class's TPropertyTable and can hold handlers by
// name that window definitions assign to events.
#include <any>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Errors.h"
#include "framework/Events.h"
#include "framework/Properties.h"
#include "framework/Value.h"

namespace vm {

enum TComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // The class name as window definitions and the class registry spell it ("TButton").
    virtual std::string ClassName() const { return "TComponent"; }
    static const TPropertyTable& ClassProperties();
    virtual const TPropertyTable& Properties() const { return ClassProperties(); }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Raises EComponentError for an invalid identifier or a name its owner already holds.
    virtual void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    const std::string& HelpKeyword() const { return helpKeyword_; }
    void SetHelpKeyword(const std::string& keyword) { helpKeyword_ = keyword; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }

    // Components this one owns, in insertion order.
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(index); }
    TComponent* FindComponent(std::string_view name) const;   // case-insensitive; nullptr if none
    // FindComponent that insists on the name and the class; raises EComponentError otherwise.
    template <class T> T& Component(std::string_view name) const;
    // Takes ownership of a component created with another owner (or none).
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    unsigned ComponentState() const { return state_; }
    bool Loading() const { return state_ & csLoading; }
    bool Designing() const { return state_ & csDesigning; }   // never set at run time
    // This component or one of its owners is being destroyed: its handlers may already be gone.
    bool Destroying() const;
    void BeginLoading() { state_ |= csLoading; }
    // Clears the loading state and calls Loaded(); the definition reader does this for every
    // component it created once the whole definition is read.
    void EndLoading();

    // Properties by name.
    TValue GetProperty(std::string_view name) const;                 // EPropertyError if unknown
    void SetProperty(std::string_view name, const TValue& value);    // EPropertyError on misfit
    bool HasProperty(std::string_view name) const { return Properties().Find(name) != nullptr; }

    // Handlers by name, for event assignments in window definitions. The stored type is the
    // std::function of the method's own signature, so "Button1Click" fits OnClick only when it
    // takes (TComponent* Sender).
    template <class C, class R, class... A>
    void RegisterHandler(const std::string& name, R (C::*method)(A...));
    template <class Fn> void RegisterHandler(const std::string& name, Fn handler) {
        handlers_[name] = std::move(handler);
    }
    // Looks in this component, then up the owner chain. nullptr when nobody has the name.
    const std::any* FindHandler(std::string_view name) const;
    // The handler name an event property was last assigned from (for reading it back).
    std::string AssignedHandlerName(std::string_view eventName) const;
    void RecordHandlerName(std::string_view eventName, std::string handler);

protected:
    // Called after a window definition has set this component's properties.
    virtual void Loaded() {}
    // Tells the component that another one it may point at is going away.
    virtual void Notification(TComponent* component, bool removing) { (void)component; (void)removing; }
    void SetDestroying() { state_ |= csDestroying; }

private:
    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    std::string helpKeyword_;
    int helpContext_ = 0;
    unsigned state_ = 0;
    std::vector<TComponent*> components_;
    std::map<std::string, std::any, std::less<>> handlers_;
    std::map<std::string, std::string, std::less<>> handlerNames_;
};

template <class T> T& TComponent::Component(std::string_view name) const {
    TComponent* found = FindComponent(name);
    if (!found) throw EComponentError("Component '" + std::string(name) + "' not found in " + name_);
    T* typed = dynamic_cast<T*>(found);
    if (!typed)
        throw EComponentError("Component '" + std::string(name) + "' is a " + found->ClassName() +
                              ", not the expected class");
    return *typed;
}

template <class C, class R, class... A>
void TComponent::RegisterHandler(const std::string& name, R (C::*method)(A...)) {
    C* self = dynamic_cast<C*>(this);
    if (!self) throw EComponentError("Handler '" + name + "' does not belong to " + ClassName());
    handlers_[name] = std::function<R(A...)>(
        [self, method](A... args) -> R { return (self->*method)(std::forward<A>(args)...); });
}

template <class C, class Fn>
TPropertyTable& TPropertyTable::Event(std::string name, Fn C::*field) {
    std::string eventName = name;
    return Add<C>(std::move(name), TValueKind::Event,
        [eventName](const C& c) { return TValue::MakeEvent(c.AssignedHandlerName(eventName)); },
        [field, eventName](C& c, const TValue& v) {
            if (v.IsEmpty() || v.AsEvent().empty()) {
                c.*field = nullptr;
                c.RecordHandlerName(eventName, {});
                return;
            }
            const std::string& handler = v.AsEvent();
            const std::any* found = c.FindHandler(handler);
            if (!found) throw EPropertyError("Event handler '" + handler + "' for " + eventName + " not found");
            const Fn* fn = std::any_cast<Fn>(found);
            if (!fn)
                throw EPropertyError("Event handler '" + handler + "' does not have the parameters of " + eventName);
            c.*field = *fn;
            c.RecordHandlerName(eventName, handler);
        });
}

} // namespace vm
