#include "flashhost/LoadingSources.h"

#include "flashhost/FlashList.h"
#include "flashhost/StreamTokens.h"
#include "flashhost/UrlPuller.h"

namespace vm {

TMovieUrlContext ProgramUrlContext(const TsfFlashList* list) {
    TMovieUrlContext context;
    context.programFolder = ProgramFolder();
    if (list)
        context.listHasItem = [list](const std::string& name) { return list->FindByName(name) != nullptr; };
    context.resourceExists = ProgramResourceExists;
    context.fileExists = FileExistsOnDisk;
    return context;
}

TBindSources ProgramBindSources(const TsfFlashList* list, const std::string& baseFolder) {
    TBindSources sources;
    sources.openResource = OpenProgramResource;
    if (list)
        sources.findListStream = [list](const std::string& name) -> TStream* {
            TsfFlashStream* item = list->FindByName(name);
            return item ? &item->Stream() : nullptr;
        };
    sources.streams = &ProcessStreamTokens();
    sources.puller = &DefaultUrlPuller();
    sources.baseFolder = baseFolder;
    sources.programFolder = ProgramFolder();
    return sources;
}

} // namespace vm
