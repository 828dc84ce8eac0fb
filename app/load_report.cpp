#include "app/load_report.h"

#include <cstdio>

#include "app/window_title.h"
#include "common/utf8_path.h"
#include "model/ebo_reader.h"
#include "textures/texture_store.h"

namespace kelvane {

namespace {

// Whether generation `other`'s reader takes the file without a problem and
// finds something in it.
bool readsIn(Generation other, FileKind kind, const std::filesystem::path& path) {
    std::optional<ReadProblem> problem;
    if (kind == FileKind::Ebo) {
        Scene scene;
        loadEbo(other, scene, path, &problem);
        return !problem && scene.objectCount > 0;
    }
    if (kind == FileKind::Fsh) {
        TextureStore store(other);
        store.loadArchive(path, &problem);
        return !problem && store.slotCount > 0;
    }
    return false;  // a BMP picture is the same to both
}

}  // namespace

std::string problemText(const ReadProblem& problem) {
    // A file that cannot be opened has no field or offset to name.
    return problem.field.empty() ? problem.what : problem.describe();
}

std::string failureReason(Generation generation, FileKind kind, const std::filesystem::path& path,
                          const ReadProblem& problem) {
    std::string reason = problemText(problem);
    const Generation other = otherGeneration(generation);
    if (readsIn(other, kind, path)) reason += std::string("; looks like a file for ") + programName(other);
    return reason;
}

namespace {
void showFailure(Viewer& viewer, const std::filesystem::path& path, const std::string& reason) {
    viewer.loadFailure = displayName(path) + ": " + reason;
    std::fprintf(stderr, "%s: %s: %s\n", programName(viewer.generation), utf8Text(path).c_str(), reason.c_str());
    std::fflush(stderr);
}
}  // namespace

void reportLoad(Viewer& viewer, FileKind kind, const std::filesystem::path& path, const Outcome& outcome,
                bool replacesShown) {
    if (replacesShown) (kind == FileKind::Ebo ? viewer.modelFile : viewer.textureFile) = path;
    viewer.loadFailure.clear();
    if (!outcome) showFailure(viewer, path, failureReason(viewer.generation, kind, path, outcome.problem()));
    updateWindowTitle(viewer);
}

void reportWriteFailure(Viewer& viewer, const std::filesystem::path& path, const std::string& reason) {
    showFailure(viewer, path, reason);
    updateWindowTitle(viewer);
}

}  // namespace kelvane
