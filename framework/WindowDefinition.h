#pragma once
// Window definitions: a readable text format of nested objects.
//
//   object frmFlash: TfrmFlash            <- name: class
//     Caption = 'Velmora'                 <- text: 'it''s', #13 char codes, 'a' + 'b' joins
//     ClientWidth = 788                   <- integer (also $1F hex, -5), 1.5 double
//     Color = clBtnFace                   <- identifier (True/False are booleans)
//     Font.Style = [fsBold]               <- set of identifiers
//     Items.Strings = (                   <- list of texts
//       'Low'
//       'High')
//     ControlData = {0A0B0C}              <- binary block in hex (any layout of digits)
//     Columns = <                         <- collection of items
//       item
//         Caption = 'File Name'
//       end>
//     OnClick = Button1Click              <- event: handler registered by the form
//     object Button1: TButton             <- child component, created from the class registry
//       ...
//     end
//   end
//
// Comments: from "//" to the end of a line. Parsing gives a tree; applying it to a root
// component creates the children and sets every property. Any problem raises
// EDefinitionError carrying the source name and the line.
#include <string>
#include <string_view>
#include <vector>

#include "framework/Value.h"

namespace vm {

class TComponent;

struct TDefinitionProperty {
    std::string name;
    TValue value;
    int line = 0;
};

struct TDefinitionObject {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<TDefinitionProperty> properties;
    std::vector<TDefinitionObject> children;
};

TDefinitionObject ParseWindowDefinition(std::string_view text, const std::string& sourceName);
// The text form of a tree (what ParseWindowDefinition reads back to the same tree).
std::string FormatWindowDefinition(const TDefinitionObject& object);

// Sets root's properties, creates its children (owned by root, parented to the enclosing
// windowed control), then ends the loading state of every component with Loaded().
// The root's class must match the definition's class name.
void ApplyWindowDefinition(TComponent& root, const TDefinitionObject& definition, const std::string& sourceName);

} // namespace vm
