#include "app/Velmora_Main.h"

#include <shellapi.h>

#include <memory>
#include <type_traits>

#include "app/Donate_Main.h"
#include "app/FolderHelpers.h"
#include "app/RegistryHelpers.h"
#include "app/Velmora_About.h"
#include "app/Velmora_Play.h"
#include "flashhost/FlashPlayer.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/ComboBox.h"
#include "framework/ComponentClasses.h"
#include "framework/Errors.h"
#include "framework/Image.h"
#include "framework/JpegImage.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/MessageBoxes.h"
#include "framework/Panel.h"
#include "framework/RegistryKey.h"
#include "framework/ShellService.h"
#include "framework/Text.h"
#include "grid/NextGrid.h"
#include "skin/WinSkinData.h"

namespace vm {
namespace {

constexpr char kCatalogueRoot[] = "VidudIvu";
constexpr char kProductName[] = "Velmora";
// The maker's notice line; the window definition gives `cpr` the same caption.
constexpr char kNotice[] = "Made with care by the Velmora team. Free to use and share.";
constexpr char kLocationKey[] = "Orvane";
constexpr int kProductNumber = 45;
// The playback window leaves this much of the screen's height free below it.
constexpr int kPlaybackHeightMargin = 50;

// Everything up to and including the last backslash.
std::string FolderOf(const std::string& path) {
  std::size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) RaiseLastOSError("GetModuleFileName");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Arguments after the program name, unquoted as the system's command-line parser does.
std::vector<std::string> CommandLineArguments() {
  int count = 0;
  std::unique_ptr<LPWSTR, decltype(&LocalFree)> argv(CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  for (int i = 1; argv && i < count; ++i) arguments.push_back(WideToAnsi(argv.get()[i]));
  return arguments;
}

// Ends a grid update however the listing ends.
class RowUpdate {
 public:
  explicit RowUpdate(TNextGrid& grid) : grid_(grid) { grid_.BeginRowUpdate(); }
  ~RowUpdate() { grid_.EndRowUpdate(); }
  RowUpdate(const RowUpdate&) = delete;
  RowUpdate& operator=(const RowUpdate&) = delete;

 private:
  TNextGrid& grid_;
};

// Batches a string list's change notifications (one list-box refill, not one per item).
class ListUpdate {
 public:
  explicit ListUpdate(TStringList& list) : list_(list) { list_.BeginUpdate(); }
  ~ListUpdate() { list_.EndUpdate(); }
  ListUpdate(const ListUpdate&) = delete;
  ListUpdate& operator=(const ListUpdate&) = delete;

 private:
  TStringList& list_;
};

}  // namespace

TCatalogueContext TCatalogueContext::FromProcess() {
  TCatalogueContext context;
  context.ExePath = ExecutablePath();
  context.Arguments = CommandLineArguments();
  return context;
}

void RegisterCatalogueClasses() {
  RegisterGridClasses();
  RegisterPlaybackClasses();
  RegisterSkinDataClass();
}

TfrmFlash::TfrmFlash(TComponent* owner) : TfrmFlash(owner, TCatalogueContext::FromProcess()) {}

TfrmFlash::TfrmFlash(TComponent* owner, TCatalogueContext context) : TForm(owner), context_(std::move(context)) {
  RegisterCatalogueClasses();
  RegisterHandlers();
  ReadDefinition();
  FindControls();
  CreateComplete();
}

void TfrmFlash::RegisterHandlers() {
  RegisterHandler("FormCreate", &TfrmFlash::FormCreate);
  RegisterHandler("FormShow", &TfrmFlash::FormShow);
  RegisterHandler("GetCat", &TfrmFlash::GetCat);
  RegisterHandler("FCListClick", &TfrmFlash::FCListClick);
  RegisterHandler("FLClick", &TfrmFlash::FLClick);
  RegisterHandler("FLDblClick", &TfrmFlash::FLDblClick);
  RegisterHandler("FLKeyPress", &TfrmFlash::FLKeyPress);
  RegisterHandler("FLKeyUp", &TfrmFlash::FLKeyUp);
  RegisterHandler("Button1Click", &TfrmFlash::Button1Click);
  RegisterHandler("Button3Click2", &TfrmFlash::Button3Click2);
  RegisterHandler("Button4Click", &TfrmFlash::Button4Click);
  RegisterHandler("Button5Click", &TfrmFlash::Button5Click);
  RegisterHandler("Button6Click", &TfrmFlash::Button6Click);
  RegisterHandler("BClick", &TfrmFlash::BClick);
  RegisterHandler("Label7DblClick", &TfrmFlash::Label7DblClick);
  RegisterHandler("IconDblClick", &TfrmFlash::IconDblClick);
}

void TfrmFlash::FindControls() {
  back = &Component<TImage>("back");
  Icon = &Component<TImage>("Icon");
  Label6 = &Component<TLabel>("Label6");
  cpr = &Component<TLabel>("cpr");
  Label7 = &Component<TLabel>("Label7");
  FB28 = &Component<TImage>("FB28");
  TW28 = &Component<TImage>("TW28");
  Button4 = &Component<TButton>("Button4");
  Button3 = &Component<TButton>("Button3");
  Label1 = &Component<TLabel>("Label1");
  Label4 = &Component<TLabel>("Label4");
  Label2 = &Component<TLabel>("Label2");
  Label5 = &Component<TLabel>("Label5");
  Label3 = &Component<TLabel>("Label3");
  FCList = &Component<TListBox>("FCList");
  FL = &Component<TNextGrid>("FL");
  Panel1 = &Component<TPanel>("Panel1");
  Image1 = &Component<TImage>("Image1");
  Label8 = &Component<TLabel>("Label8");
  ComboBox1 = &Component<TComboBox>("ComboBox1");
  Button1 = &Component<TButton>("Button1");
  Button2 = &Component<TButton>("Button2");
  Button6 = &Component<TButton>("Button6");
  Button5 = &Component<TButton>("Button5");
  Label9 = &Component<TLabel>("Label9");
  ComboBox2 = &Component<TComboBox>("ComboBox2");
}

// ---- start-up --------------------------------------------------------------------------------
// An exception from any step ends FormCreate there; the application shows it in an error box
// and the window still opens with what was done.

void TfrmFlash::FormCreate(TComponent*) {
  AppFolder = FolderOf(context_.ExePath);
  GetCat();
  TPicture::RegisterFileFormat<TJPEGImage>("jpg", "JPEG Image");
  CopyOCX();
  RecordProgramLocation();
  Label6->SetCaption(kProductName);
  cpr->SetCaption(kNotice);
  if (SupportDialogWanted(ReadUserString(kSupportPreferenceKey, ProductNumberText(kProductNumber))))
    Button3Click2(this);
}

void TfrmFlash::RecordProgramLocation() {
  TRegistryKey key;
  if (key.Create(context_.UserRegistry, kLocationKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS ||
      key.WriteString(ProductNumberText(kProductNumber), context_.ExePath) != ERROR_SUCCESS)
    throw EVelmoraError("Error creating system registry entry");
}

void TfrmFlash::CopyOCX() { InstallFlashControl(context_.FlashControl); }

void TfrmFlash::FormShow(TComponent*) {
  FromCommandLine = false;
  DragAcceptFiles(Handle(), TRUE);
  if (!context_.Arguments.empty()) {
    FromCommandLine = true;
    PlayFile(context_.Arguments.front());
    // Closing that movie ended the program: the catalogue is not to flash up on the way out.
    if (Application().Terminated()) Hide();
  }
}

// ---- catalogue -------------------------------------------------------------------------------

std::string TfrmFlash::Counter(int count) { return "[ " + std::to_string(count) + " ]"; }

void TfrmFlash::GetCat(TComponent*) {
  TStringList& categories = FCList->Items();
  {
    ListUpdate batch(categories);
    FCList->SetItemIndex(-1);  // the refilled list must not keep a selection of the old one
    categories.Clear();
    FL->RemoveAllRows();
    ListFolders(AppFolder + kCatalogueRoot, categories);
  }
  Label4->SetCaption(Counter(categories.Count()));
}

void TfrmFlash::FCListClick(TComponent*) {
  const int index = FCList->ItemIndex();
  if (index != -1) GetFileList(FCList->Items()[index]);
}

void TfrmFlash::GetFileList(const std::string& category) {
  TStringList names;
  RowUpdate update(*FL);
  FL->RemoveAllRows();
  Image1->Picture().Clear();
  MoviePath.clear();

  const std::string folder = AppFolder + kCatalogueRoot + "\\" + category;
  ListFiles(folder, "*.swf", names);
  const std::string separator = UserDecimalSeparator();  // once per listing, not per row
  for (int i = 0; i < names.Count(); ++i) {
    FL->AppendRows(1);
    FL->SetCellText(0, i, AnsiToWide(names[i]));
    FL->SetCellText(1, i, AnsiToWide(SizeText(FileSizeOf(folder + "\\" + names[i]), separator)));
  }
  Label5->SetCaption(Counter(names.Count()));
}

std::string TfrmFlash::PreviewPathFor(const std::string& moviePath) {
  const std::size_t nameStart = moviePath.find_last_of('\\') + 1;  // npos + 1 == 0
  const std::size_t dot = moviePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && dot >= nameStart;
  return (hasExtension ? moviePath.substr(0, dot) : moviePath) + ".jpg";
}

void TfrmFlash::FLClick(TComponent*) {
  MoviePath.clear();
  Image1->Picture().Clear();
  const int row = FL->SelectedRowIndex();
  const int category = FCList->ItemIndex();
  // After "Reload Category" the category list has no selection while the grid is empty; a
  // row without a category cannot name a movie.
  if (row == -1 || category == -1) return;

  const std::string movie =
      AppFolder + kCatalogueRoot + "\\" + FCList->Items()[category] + "\\" + WideToAnsi(FL->GetCellText(0, row));
  if (!FileExists(movie)) return;
  MoviePath = movie;
  const std::string preview = PreviewPathFor(movie);
  // A preview that cannot be decoded raises the loader's error; MoviePath is already set, so
  // the movie still plays.
  if (FileExists(preview)) Image1->Picture().LoadFromFile(preview);
}

void TfrmFlash::FLDblClick(TComponent* Sender) { Button1Click(Sender); }

void TfrmFlash::FLKeyPress(TComponent* Sender, char& Key) {
  if (Key == '\r') FLDblClick(Sender);
}

void TfrmFlash::FLKeyUp(TComponent* Sender, WORD& Key, TShiftState) {
  // Besides the arrows, the keys that move the grid's selection by pages or to its ends also
  // refresh the movie, so that PLAY never plays another row than the highlighted one.
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
      FLClick(Sender);
      break;
    default:
      break;
  }
}

// ---- playing ---------------------------------------------------------------------------------

void TfrmFlash::Button1Click(TComponent*) {
  if (MoviePath.empty()) return;
  auto window = std::make_unique<TPlaySWF>(this);
  window->SetBounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - kPlaybackHeightMargin);
  window->SetCaption("Play - " + MoviePath);
  TsfFlashPlayer& player = *window->ShockwaveFlash1;
  player.SetQuality2(AnsiToWide(ComboBox1->ComboText()));
  player.SetMovie(AnsiToWide(MoviePath));
  player.SetScale(L"1000");
  player.Play();
  window->ShowModal();
}

void TfrmFlash::PlayFile(const std::string& path) {
  MoviePath = path;
  Button1Click(this);
}

void TfrmFlash::WndProc(TMessage& Message) {
  if (Message.Msg == WM_DROPFILES) {
    WMDropFiles(Message);
    return;
  }
  TForm::WndProc(Message);
}

void TfrmFlash::WMDropFiles(TMessage& Message) {
  const HDROP drop = reinterpret_cast<HDROP>(Message.WParam);
  std::unique_ptr<std::remove_pointer_t<HDROP>, decltype(&DragFinish)> release(drop, &DragFinish);
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // Sized from the name's own length, so a long path is never cut to a wrong one.
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::string name(length + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), length + 1));
    if (name.empty()) continue;
    PlayFile(name);
    Message.Result = 0;
  }
}

// ---- buttons, links, second window -----------------------------------------------------------

void TfrmFlash::Button3Click2(TComponent*) {
  auto dialog = std::make_unique<TfrmDonate>(this);
  dialog->SetHelpKeyword(kProductName);
  dialog->SetTag(kProductNumber);
  dialog->ShowModal();
}

void TfrmFlash::Button4Click(TComponent*) {
  auto dialog = std::make_unique<TfrmVelmoraAbout>(this);
  dialog->ShowModal();
}

void TfrmFlash::Button6Click(TComponent*) {
  const std::string& exe = context_.ExePath;
  CreateRegistryKey(HKEY_CLASSES_ROOT, ".swf");
  CreateRegistryKey(HKEY_CLASSES_ROOT, "swffile");
  CreateRegistryKey(HKEY_CLASSES_ROOT, "swffile\\DefaultIcon");
  WriteClassesString("swffile", "", "SWF Files");
  WriteClassesString("swffile\\DefaultIcon", "", exe);
  // The program's path is quoted: unquoted, a path with blanks ("C:\Program Files\...") would
  // make the shell try "C:\Program.exe" first.
  RegisterShellCommand("swffile", "Open", "Open", false, "\"" + exe + "\" \"%1\"");
  WriteClassesString(".swf", "", "swffile");
  ShowInformation("Now \"Velmora\" is your Default Flash Player", "Information", Handle());
}

std::string TfrmFlash::HelpText() {
  return "<< How to use \"VELMORA\" >>\r"
         "1. Create a Folder inside \"VidudIvu\" to make a \"New Category\"\r"
         "2. Put your .SWF File Collection into \"VidudIvu\\YourCategory\"\r"
         "3. \"Velmora\" will automatically Read SWF Files inside that Folder\r"
         "\r"
         "I've put some SWF files inside \"VidudIvu\" Folder, so you can learn how to use this Program easily.";
}

void TfrmFlash::Button5Click(TComponent*) { ShowInformation(HelpText(), "Information", Handle()); }

void TfrmFlash::BClick(TComponent* Sender) {
  if (!Sender) return;
  ShellService().Execute(Handle(), "", Sender->HelpKeyword(), "", "", SW_SHOW);
}

void TfrmFlash::Label7DblClick(TComponent*) {
  ShellService().Execute(Handle(), "", FolderOf(context_.ExePath), "", "", SW_SHOW);
}

void TfrmFlash::IconDblClick(TComponent*) {
  secondWindow_ = new TfrmFlash(this, context_);
  secondWindow_->Show();
}

// ---- program entry ---------------------------------------------------------------------------

namespace {

// COM on the program's thread, a single-threaded apartment as the Flash control needs.
class OleSession {
 public:
  OleSession() : result_(OleInitialize(nullptr)) {}
  ~OleSession() {
    if (SUCCEEDED(result_)) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

int RunVelmora() {
  OleSession ole;
  RegisterCatalogueClasses();
  TApplication& application = Application();
  application.Initialize();
  application.SetTitle(kProductName);
  application.CreateForm<TfrmFlash>();
  application.Run();
  return 0;
}

}  // namespace vm
