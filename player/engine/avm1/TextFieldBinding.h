#pragma once
// Text fields bound to a variable (DefineEditText's variable name, TextField.variable) show
// the variable's value, and text given to the field goes to the variable.
namespace swf {
class EditTextInstance;
}

namespace swf::avm1 {

class Vm;

// Takes the variable's value as the field's text. When the variable does not exist yet and
// `placed` (the field has just come onto the stage or been bound anew), a field with text
// gives the variable its text instead. Outside scripts (`scriptRunning` false) a value that is
// an object is left for later, as converting it may run a script.
void pullBoundVariable(Vm& vm, EditTextInstance& field, bool placed, bool scriptRunning);
// Gives the variable the field's text.
void pushBoundVariable(Vm& vm, EditTextInstance& field);

}  // namespace swf::avm1
