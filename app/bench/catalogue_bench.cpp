// Lists a category of 10,000 movies with GetFileList on a real catalogue window and grid, and
// compares its time with the least any listing must do: one directory enumeration plus one
// size search per file, measured in the same run on the same folder.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Velmora_Main.h"
#include "framework/Application.h"
#include "framework/Label.h"
#include "grid/NextGrid.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMovies = 10000;
constexpr int kRounds = 7;

std::string TempRoot() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  return std::string(temp) + "velmora-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
}

bool MakeCategory(const std::string& root, const std::string& category) {
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA((root + "VidudIvu").c_str(), nullptr);
  const std::string folder = root + "VidudIvu\\" + category + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  char name[32];
  for (int i = 0; i < kMovies; ++i) {
    std::snprintf(name, sizeof name, "movie %05d.swf", i);
    HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    size.QuadPart = (i * 7919LL) % 5000000;  // sparse: sizes without writing the bytes
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
  }
  return true;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(folder + name + "\\");
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

// The floor: enumerate the movies, then one directory search per file for its size.
long long BareListing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "*.swf").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do names.emplace_back(entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  long long total = 0;
  for (const std::string& name : names) {
    HANDLE one = FindFirstFileA((folder + name).c_str(), &entry);
    if (one != INVALID_HANDLE_VALUE) {
      total += entry.nFileSizeLow;
      FindClose(one);
    }
  }
  return total + static_cast<long long>(names.size());
}

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  using namespace vm;
  const std::string root = TempRoot();
  const std::string category = "Ten thousand";
  if (!MakeCategory(root, category)) {
    std::printf("catalogue_bench: could not create the fixture under %s\n", root.c_str());
    RemoveTree(root);
    return 1;
  }

  // Keep the bench's location record away from the user's own.
  HKEY benchRegistry = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\VelmoraBench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &benchRegistry,
                  nullptr);
  TCatalogueContext context;
  context.ExePath = root + "Velmora.exe";
  context.UserRegistry = benchRegistry;

  Application().Initialize();
  auto* form = new TfrmFlash(&Application(), context);
  form->Show();
  Application().ProcessMessages();

  const std::string folder = root + "VidudIvu\\" + category + "\\";
  std::vector<double> bare, listing;
  long long sink = 0;
  int rows = 0;
  for (int round = 0; round <= kRounds; ++round) {  // round 0 warms the caches up
    auto start = Clock::now();
    sink += BareListing(folder);
    const double bareMs = Milliseconds(Clock::now() - start);

    start = Clock::now();
    form->GetFileList(category);
    Application().ProcessMessages();  // the one repaint the listing causes
    const double listingMs = Milliseconds(Clock::now() - start);
    rows = form->FL->RowCount();
    if (round > 0) {
      bare.push_back(bareMs);
      listing.push_back(listingMs);
    }
  }

  const double bareMedian = Median(bare), listingMedian = Median(listing);
  std::printf("catalogue_bench: %d movies, %d rounds (medians), counter %s\n", rows, kRounds,
              form->Label5->Caption().c_str());
  std::printf("  baseline: enumeration + one size search per file  %8.1f ms\n", bareMedian);
  std::printf("  GetFileList on the real window and grid            %8.1f ms\n", listingMedian);
  std::printf("  ratio GetFileList / baseline                       %8.2f   (target <= 1.50)\n",
              listingMedian / bareMedian);

  delete form;
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VelmoraBench");
  RegCloseKey(benchRegistry);
  RemoveTree(root);
  return rows == kMovies && sink > 0 ? 0 : 1;
}
