#pragma once
// The running program's answers to the loading decisions, for a player with a given flash list
// (or none) attached: its folder, its resources, the files on disk, the process's stream tokens
// and the urlmon puller. The player's CreateMoniker and BindToStorage pass these on; tests pass
// their own.
#include <string>

#include "flashhost/BindDelivery.h"
#include "flashhost/MovieUrls.h"

namespace vm {

class TsfFlashList;

TMovieUrlContext ProgramUrlContext(const TsfFlashList* list);
TBindSources ProgramBindSources(const TsfFlashList* list, const std::string& baseFolder);

} // namespace vm
