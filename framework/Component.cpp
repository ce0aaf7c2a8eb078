#include "framework/Component.h"

#include <algorithm>

#include "framework/Text.h"

namespace vm {

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    // Owned components go first, newest first, so later ones may still use earlier ones.
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
    if (owner_) owner_->RemoveComponent(this);
}

const TPropertyTable& TComponent::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Add<TComponent>("Name", TValueKind::Text,
            [](const TComponent& c) { return TValue::Text(c.Name()); },
            [](TComponent& c, const TValue& v) { c.SetName(v.AsText()); });
        t.Integer<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag);
        t.Text<TComponent>("HelpKeyword", &TComponent::HelpKeyword, &TComponent::SetHelpKeyword);
        t.Integer<TComponent>("HelpContext", &TComponent::HelpContext, &TComponent::SetHelpContext);
        return t;
    }();
    return table;
}

static bool IsIdentifier(const std::string& name) {
    if (name.empty()) return false;
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(name[0])) return false;
    return std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || (c >= '0' && c <= '9'); });
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsIdentifier(name))
        throw EComponentError("'" + name + "' is not a valid component name");
    if (!name.empty() && owner_) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this) throw EComponentError("A component named " + name + " already exists");
    }
    name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (!component->name_.empty() && FindComponent(component->name_))
        throw EComponentError("A component named " + component->name_ + " already exists");
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    // Siblings that point at the leaving component must forget it.
    for (TComponent* c : components_) c->Notification(component, true);
    Notification(component, true);
}

bool TComponent::Destroying() const {
    for (const TComponent* c = this; c; c = c->owner_)
        if (c->state_ & csDestroying) return true;
    return false;
}

void TComponent::EndLoading() {
    state_ &= ~static_cast<unsigned>(csLoading);
    Loaded();
}

TValue TComponent::GetProperty(std::string_view name) const {
    const TPropertyInfo* p = Properties().Find(name);
    if (!p) throw EPropertyError(ClassName() + " has no property " + std::string(name));
    return p->get(*this);
}

void TComponent::SetProperty(std::string_view name, const TValue& value) {
    const TPropertyInfo* p = Properties().Find(name);
    if (!p) throw EPropertyError(ClassName() + " has no property " + std::string(name));
    if (!p->set) throw EPropertyError("Property " + std::string(name) + " of " + ClassName() + " is read-only");
    try {
        p->set(*this, value);
    } catch (const EPropertyError& e) {
        throw EPropertyError("Property " + p->name + " of " + (name_.empty() ? ClassName() : name_) + ": " + e.what());
    } catch (const EComponentError& e) {
        throw EPropertyError("Property " + p->name + " of " + (name_.empty() ? ClassName() : name_) + ": " + e.what());
    }
}

const std::any* TComponent::FindHandler(std::string_view name) const {
    for (const TComponent* c = this; c; c = c->owner_) {
        auto it = c->handlers_.find(name);
        if (it != c->handlers_.end()) return &it->second;
    }
    return nullptr;
}

std::string TComponent::AssignedHandlerName(std::string_view eventName) const {
    auto it = handlerNames_.find(eventName);
    return it == handlerNames_.end() ? std::string() : it->second;
}

void TComponent::RecordHandlerName(std::string_view eventName, std::string handler) {
    handlerNames_[std::string(eventName)] = std::move(handler);
}

} // namespace vm
