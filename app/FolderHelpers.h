#pragma once
// Directory scanning for the catalogue: which folders are categories, which files are movies,
// and how big a movie is. Names and paths are 8-bit strings in the Windows code page.

#include <cstdint>
#include <string>

#include "framework/StringList.h"

namespace vm {

// Attribute masks of a directory search, as bits of the file attributes they admit.
enum SearchAttributes : unsigned {
  saReadOnly = 0x01,
  saHidden = 0x02,
  saSysFile = 0x04,
  saVolumeId = 0x08,
  saDirectory = 0x10,
  saArchive = 0x20,
  saAnyFile = 0x3F,
};

// FindFirstFile returns every entry whatever its attributes; the mask decides which of them a
// search admits. Normal, read-only and archive entries are always admitted; hidden, system,
// volume-label and directory entries only when the mask names their attribute.
bool AttributesAdmitted(unsigned long fileAttributes, unsigned mask);

// Appends the names of the sub-folders of `folder` (hidden and system ones included; "." and
// ".." never), in the order the directory search returns them. A blank folder text, a missing
// or unreadable folder adds nothing.
void ListFolders(const std::string& folder, TStringList& list);

// Appends the names of the files in `folder` matching `mask` (e.g. "*.swf"): normal and hidden
// files, never system files or folders.
void ListFiles(const std::string& folder, const std::string& mask, TStringList& list);

// Size in bytes of the file at `path` (expanded to a full path first), or -1 when no such entry
// exists. The full 64-bit size: a movie of 2 GB or more must not come out negative.
std::int64_t FileSizeOf(const std::string& path);

// The user's decimal separator (Control Panel, regional settings).
std::string UserDecimalSeparator();

// "#0.00 MB": bytes in mebibytes, two decimals rounded half away from zero, at least one integer
// digit, no thousands separator. A negative size (file not found) gives an empty text rather
// than a misleading number.
std::string SizeText(std::int64_t bytes, const std::string& decimalSeparator);
std::string SizeText(std::int64_t bytes);

}  // namespace vm
