// Typing and editing commands reaching the focused text field: characters filtered by the
// field's settings, the clipboard, the caret keys; the field's onChanged after each change.
#include "avm1/Strings.h"
#include "avm1/TextFieldBinding.h"
#include "avm1/Vm.h"
#include "player/EditTextInstance.h"
#include "player/Player.h"
#include "player/PlayerContext.h"

namespace swf {

void Player::textInput(char32_t character) { context_->textInput(character); }
void Player::textCommand(TextCommand command) { context_->textCommand(command); }

namespace {

EditTextInstance* focusedField(FocusManager& focus) { return dynamic_cast<EditTextInstance*>(focus.current()); }

bool editable(const EditTextInstance& field) { return !field.def().readOnly; }

// The caret one character over, or to the selection's edge when there is one.
void moveCaret(EditTextInstance& field, bool forward) {
    size_t caret = field.caretIndex();
    if (field.selectionBegin() != field.selectionEnd()) caret = forward ? field.selectionEnd() : field.selectionBegin();
    else if (forward) ++caret;
    else if (caret > 0) --caret;
    field.setSelection(caret, caret);
}

}  // namespace

void PlayerContext::textInput(char32_t character) {
    // Control characters come as keys or editing commands (Tab, Enter, Backspace).
    if (!root || character < 32 || character == 127 || character > 0x10FFFF) return;
    vm_->rootClip = root;
    vm_->setVersion(movie_->header.version);
    if (character < 128 && pressButtonKey(static_cast<uint8_t>(character))) return;
    EditTextInstance* field = focusedField(focus_);
    if (field && editable(*field) && field->typeText(avm1::fromCodePoint(character))) fieldChangedByUser(*field);
}

void PlayerContext::textCommand(TextCommand command) {
    EditTextInstance* field = root ? focusedField(focus_) : nullptr;
    if (!field) return;
    vm_->rootClip = root;
    vm_->setVersion(movie_->header.version);
    const bool selectable = !field->def().noSelect;
    // A password field never gives its text away.
    const bool mayCopy = selectable && !field->def().password && field->selectionBegin() != field->selectionEnd();
    bool changed = false;
    switch (command) {
    case TextCommand::Paste:
        if (editable(*field)) changed = field->typeText(host_.clipboardText());
        break;
    case TextCommand::Copy:
        if (mayCopy) host_.setClipboardText(field->selectedText());
        break;
    case TextCommand::Cut:
        if (mayCopy && editable(*field)) {
            host_.setClipboardText(field->selectedText());
            field->replaceSelection(std::string());
            changed = true;
        }
        break;
    case TextCommand::SelectAll:
        if (selectable) field->selectAll();
        break;
    case TextCommand::Enter:
        if (editable(*field)) changed = field->typeText("\r");
        break;
    case TextCommand::MoveLeft:
    case TextCommand::MoveRight: moveCaret(*field, command == TextCommand::MoveRight); break;
    case TextCommand::Backspace:
    case TextCommand::Delete:
        if (!editable(*field)) break;
        if (field->selectionBegin() == field->selectionEnd()) {
            const size_t caret = field->caretIndex();
            const bool back = command == TextCommand::Backspace;
            if (back ? caret == 0 : caret >= avm1::utf16Length(field->text())) break;
            field->setSelection(back ? caret - 1 : caret + 1, caret);
        }
        field->replaceSelection(std::string());
        changed = true;
        break;
    }
    if (changed) fieldChangedByUser(*field);
}

void PlayerContext::fieldChangedByUser(EditTextInstance& field) {
    std::shared_ptr<DisplayObject> hold = field.shared_from_this();
    vm_->runGuardedAction([&] { avm1::pushBoundVariable(*vm_, field); });
    callHandler(field, "onChanged", {avm1::Value(vm_->stageObject(&field))});
    runQueuedActions();
}

}  // namespace swf
