// Window definitions: the text format (good and malformed) and building forms from it.
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "framework/Framework.h"

using namespace vm;

namespace {

const char* const kFullDefinition = R"(// a comment line
object frmSample: TfrmSample
  Caption = 'It''s a ' + 'sample'#13#10'line two'
  ClientWidth = 300
  ClientHeight = $C8
  Color = clBtnFace
  Font.Style = [fsBold, fsItalic]
  Position = poScreenCenter
  OnCreate = FormCreate
  object Panel1: TPanel
    Left = 10
    Top = 12
    Width = 200
    Height = 100
    BevelInner = bvRaised
    BevelOuter = bvLowered
    object Label1: TLabel
      Left = 4
      Top = 5
      Caption = 'Inside'
      Transparent = True
      OnClick = LabelClick
    end
  end
  object ComboBox1: TComboBox
    Left = 10
    Top = 120
    Style = csDropDownList
    ItemIndex = 1
    Items.Strings = (
      'Low'
      'High')
  end
  object Image1: TImage
    Stretch = True
  end
end
)";

class TfrmSample : public TForm {
public:
    explicit TfrmSample(const std::string& text) : TForm(nullptr) {
        RegisterHandler("FormCreate", &TfrmSample::FormCreate);
        RegisterHandler("LabelClick", &TfrmSample::LabelClick);
        ReadDefinitionText(text, "TFRMSAMPLE");
    }
    std::string ClassName() const override { return "TfrmSample"; }
    void FormCreate(TComponent*) { ++created; }
    void LabelClick(TComponent* sender) { clickedBy = sender; }
    int created = 0;
    TComponent* clickedBy = nullptr;
};

std::string ParseError(const std::string& text) {
    try {
        ParseWindowDefinition(text, "SAMPLE");
    } catch (const EDefinitionError& e) {
        return std::to_string(e.Line()) + ": " + e.what();
    }
    return "no error";
}

} // namespace

TEST(DefinitionText, ReadsEveryKindOfValue) {
    TDefinitionObject d = ParseWindowDefinition(
        "object A: TThing\n"
        "  Text = 'a''b'#65 + 'c'\n"
        "  Number = -12\n"
        "  Hex = $FF\n"
        "  Ratio = 1.5\n"
        "  Flag = True\n"
        "  Ident = alClient\n"
        "  Set = [x, y]\n"
        "  EmptySet = []\n"
        "  Lines = ('one' 'two')\n"
        "  Bytes = {0a 0B\n  ff}\n"
        "  Columns = <\n    item\n      Caption = 'File Name'\n      Width = 158\n    end\n    item\n    end>\n"
        "  OnClick = Button1Click\n"
        "end\n",
        "T");
    ASSERT_EQ(d.properties.size(), 12u);
    EXPECT_EQ(d.name, "A");
    EXPECT_EQ(d.className, "TThing");
    EXPECT_EQ(d.properties[0].value.AsText(), "a'bAc");
    EXPECT_EQ(d.properties[1].value.AsInteger(), -12);
    EXPECT_EQ(d.properties[2].value.AsInteger(), 255);
    EXPECT_DOUBLE_EQ(d.properties[3].value.AsDouble(), 1.5);
    EXPECT_TRUE(d.properties[4].value.AsBoolean());
    EXPECT_EQ(d.properties[5].value.AsIdent(), "alClient");
    EXPECT_EQ(d.properties[6].value.AsSet(), (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(d.properties[7].value.AsSet().empty());
    EXPECT_EQ(d.properties[8].value.AsStrings(), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(d.properties[9].value.AsBinary(), (std::vector<std::uint8_t>{0x0A, 0x0B, 0xFF}));
    const auto& items = d.properties[10].value.AsCollection();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].properties[0].first, "Caption");
    EXPECT_EQ(items[0].properties[1].second.AsInteger(), 158);
    EXPECT_TRUE(items[1].properties.empty());
    EXPECT_EQ(d.properties[11].value.AsEvent(), "Button1Click");
    EXPECT_EQ(d.properties[10].line, 13) << "the binary block spans two lines";
}

TEST(DefinitionText, FormattedTextReadsBackToTheSameTree) {
    TDefinitionObject first = ParseWindowDefinition(kFullDefinition, "T");
    std::string text = FormatWindowDefinition(first);
    TDefinitionObject second = ParseWindowDefinition(text, "T");
    EXPECT_EQ(FormatWindowDefinition(second), text);
    ASSERT_EQ(second.children.size(), 3u);
    EXPECT_EQ(second.children[0].children[0].name, "Label1");
    EXPECT_EQ(second.properties[0].value.AsText(), "It's a sample\r\nline two");
}

TEST(DefinitionText, MalformedTextNamesTheLine) {
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"object A: TA\n  Caption = 'open\nend\n", "2: SAMPLE(2): Text is not closed"},
        {"object A: TA\n  Left = \nend\n", "3: SAMPLE(3): Expected a value but found 'end'"},
        {"object A: TA\n  Left 5\nend\n", "2: SAMPLE(2): Expected '='"},
        {"object A: TA\n  Data = {0A0}\nend\n", "2: SAMPLE(2): Binary block has an odd number"},
        {"object A: TA\n  Data = {0AZZ}\nend\n", "2: SAMPLE(2): Invalid character 'Z' in binary block"},
        {"object A: TA\n  Data = {0A0B\n", "2: SAMPLE(2): Binary block is not closed"},
        {"object A: TA\n  Set = [a b]\nend\n", "2: SAMPLE(2): Expected ',' or ']'"},
        {"object A: TA\n  List = ('a' 5)\nend\n", "2: SAMPLE(2): Expected text or ')'"},
        {"object A: TA\n  Left = 1\n", "1: SAMPLE(1): Object A is not closed with 'end'"},
        {"object A: TA\nend\nextra\n", "3: SAMPLE(3): Text after the final 'end'"},
        {"thing A: TA\nend\n", "1: SAMPLE(1): Expected 'object'"},
        {"object A: TA\n  Caption = #999\nend\n", "2: SAMPLE(2): Character code #999 is out of range"},
        {"object A: TA\n  Left = 12abc\nend\n", "2: SAMPLE(2): Invalid number"},
        {"object A: TA\n  Left = 99999999999999999999\nend\n", "2: SAMPLE(2): Number too large"},
        {"object A: TA\n  Items = <\n    item\n      X = 1\n", "3: SAMPLE(3): Collection item is not closed"},
        {"", "1: SAMPLE(1): Expected 'object' but found the end of the text"},
        {"object A: TA\n  Caption = 'x' +\nend\n", "3: SAMPLE(3): '+' must be followed by more text"},
        {"object A: TA\n  Left = @\nend\n", "2: SAMPLE(2): Unexpected character '@'"},
    };
    for (const auto& c : cases) {
        std::string got = ParseError(c.text);
        EXPECT_EQ(got.rfind(c.expected, 0), 0u) << "for:\n" << c.text << "\ngot: " << got;
    }
}

TEST(DefinitionForm, BuildsNestedControlsAndBindsEvents) {
    TfrmSample form(kFullDefinition);
    EXPECT_EQ(form.Name(), "frmSample");
    EXPECT_EQ(form.Caption(), "It's a sample\r\nline two");
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 200);
    EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
    EXPECT_EQ(form.Font().Style(), unsigned(fsBold | fsItalic));
    auto& panel = form.Component<TPanel>("Panel1");
    auto& label = form.Component<TLabel>("Label1");
    EXPECT_EQ(label.Parent(), &panel);
    EXPECT_EQ(panel.Parent(), &form);
    EXPECT_EQ(label.Owner(), &form);   // every component belongs to the form
    EXPECT_EQ(panel.BevelInner(), TPanelBevel::bvRaised);
    EXPECT_TRUE(label.Font().Style() & fsBold) << "labels follow the form's font";
    auto& combo = form.Component<TComboBox>("ComboBox1");
    EXPECT_EQ(combo.ItemIndex(), 1) << "an index given before its items survives loading";
    EXPECT_EQ(combo.ComboText(), "High");
    EXPECT_TRUE(form.Component<TImage>("Image1").Stretch());
    EXPECT_FALSE(form.Loading());
    EXPECT_FALSE(label.Loading());

    EXPECT_EQ(form.created, 0) << "OnCreate waits for CreateComplete";
    form.CreateComplete();
    EXPECT_EQ(form.created, 1);
    ASSERT_TRUE(label.OnClick);
    label.Click();
    EXPECT_EQ(form.clickedBy, &label);

    // The combo's window was created from the loaded state.
    EXPECT_TRUE(combo.HandleAllocated());
    EXPECT_EQ(SendMessageA(combo.Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(combo.ItemIndex(), 1);
}

TEST(DefinitionForm, ProblemsInTheTreeNameTheLineAndKeepTheFormUsable) {
    struct Case { const char* body; const char* expected; };
    const Case cases[] = {
        {"  object X: TNoSuchClass\n  end\n", "TFRMSAMPLE(2): Unknown component class TNoSuchClass"},
        {"  object B1: TButton\n    Left = 'wide'\n  end\n", "TFRMSAMPLE(3): Property Left of B1: Expected an integer"},
        {"  object B1: TButton\n    OnClick = NotRegistered\n  end\n", "TFRMSAMPLE(3): Property OnClick of B1: Event handler 'NotRegistered'"},
        {"  object B1: TButton\n  end\n  object B1: TButton\n  end\n", "TFRMSAMPLE(4): A component named B1 already exists"},
        {"  object L1: TLabel\n    object L2: TLabel\n    end\n  end\n", "TFRMSAMPLE(3): L1 cannot hold other controls"},
        {"  Wibble = 3\n", "TFRMSAMPLE(2): TfrmSample has no property Wibble"},
    };
    for (const auto& c : cases) {
        std::string text = std::string("object frmSample: TfrmSample\n") + c.body + "end\n";
        try {
            TfrmSample form(text);
            ADD_FAILURE() << "no error for:\n" << text;
        } catch (const EDefinitionError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.expected, 0), 0u) << e.what();
        }
    }
    try {
        TfrmSample form("object Other: TOtherForm\nend\n");
        ADD_FAILURE() << "class mismatch accepted";
    } catch (const EDefinitionError& e) {
        EXPECT_NE(std::string(e.what()).find("TOtherForm"), std::string::npos) << e.what();
    }
}

namespace {
class TDefinedForm : public TForm {
public:
    TDefinedForm() : TForm(nullptr) {
        RegisterHandler("OkButtonClick", &TDefinedForm::OkButtonClick);
        ReadDefinition();
        CreateComplete();
    }
    std::string ClassName() const override { return "TDefinedForm"; }
    void OkButtonClick(TComponent*) { ++clicks; }
    int clicks = 0;
};
} // namespace

TEST(DefinitionForm, ReadsTheResourceNamedAfterTheClass) {
    TDefinedForm form;
    EXPECT_EQ(form.Caption(), "From a resource");
    auto& ok = form.Component<TButton>("OkButton");
    EXPECT_EQ(ok.ModalResult(), mrOk);
    char text[64] = {};
    GetWindowTextA(form.Handle(), text, sizeof text);
    EXPECT_STREQ(text, "From a resource");
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    SendMessageA(ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(DefinitionForm, ACentredFormKeepsTheClientSizeItWasGiven) {
    TDefinedForm form;
    form.SetPosition(TPosition::poScreenCenter);
    form.Show();
    RECT client, window;
    GetClientRect(form.Handle(), &client);
    GetWindowRect(form.Handle(), &window);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(window.left, (sw - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (sh - (window.bottom - window.top)) / 2);
    EXPECT_EQ(form.Width(), window.right - window.left);
}

TEST(DefinitionForm, AVisibleFormShowsOnlyOnceItIsComplete) {
    struct TShownForm : TForm {
        TShownForm() : TForm(nullptr) {
            OnShow = [this](TComponent*) { shownWhileCreated = created; };
            ReadDefinitionText("object F: TShownForm\n  Visible = True\nend\n", "T");
            EXPECT_FALSE(HandleAllocated());
            created = true;
            CreateComplete();
        }
        std::string ClassName() const override { return "TShownForm"; }
        bool created = false, shownWhileCreated = false;
    } form;
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(form.shownWhileCreated);
}

TEST(DefinitionForm, AMissingResourceIsAClearError) {
    TForm form(nullptr);
    try {
        form.ReadDefinitionResource(GetModuleHandleA(nullptr), "TNOSUCHFORM");
        FAIL() << "no error";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Resource TNOSUCHFORM not found");
    }
}
