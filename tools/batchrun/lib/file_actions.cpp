#include "file_actions.h"

#include "name_match.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace batchrun {
namespace {

bool isFolder(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(p, ec));
}

bool existsNoFollow(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// The non-folder entries of `folder` whose names pass `accept`, sorted by name.
template <typename Accept>
std::vector<fs::path> listMatching(const fs::path& folder, Accept accept) {
    std::vector<fs::path> found;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (accept(p.filename().string()) && !isFolder(p)) found.push_back(p);
    }
    std::sort(found.begin(), found.end());
    return found;
}

void removeAll(const std::vector<fs::path>& paths, DeleteResult& r) {
    for (const fs::path& p : paths) {
        std::error_code ec;
        if (fs::remove(p, ec))
            ++r.deleted;
        else
            r.problems.push_back("cannot delete " + p.string() + ": " + ec.message());
    }
}

} // namespace

std::vector<fs::path> findIgnoringCase(const fs::path& folder, const std::string& name) {
    return listMatching(folder, [&](const std::string& n) { return equalsIgnoreCase(n, name); });
}

DeleteResult deleteFiles(const fs::path& folder, const std::string& name) {
    DeleteResult r;
    const fs::path target = folder / name; // an absolute name replaces the folder
    const fs::path dir = target.parent_path();
    const std::string leaf = target.filename().string();
    if (leaf.empty() || leaf == "." || leaf == "..") {
        r.problems.push_back(target.string() + " names a folder; del deletes files only");
        return r;
    }
    // Only the folder part written in the line counts: the current folder may hold any name.
    if (hasWildcard(fs::path(name).parent_path().string())) {
        r.problems.push_back("cannot delete " + target.string() +
                             ": wildcards are allowed in the file name only");
        return r;
    }

    std::vector<fs::path> victims;
    if (hasWildcard(leaf)) {
        victims = listMatching(dir, [&](const std::string& n) { return wildcardMatch(leaf, n); });
    } else if (existsNoFollow(target)) {
        if (isFolder(target)) {
            r.problems.push_back(target.string() + " is a folder; del deletes files only");
            return r;
        }
        victims.push_back(target);
    } else {
        victims = findIgnoringCase(dir, leaf);
    }
    // A pattern that matches nothing leaves the folder as the clean-up wants it: no problem.
    // A plain name that is not there is one.
    if (victims.empty() && !hasWildcard(leaf)) {
        r.problems.push_back("could not find " + target.string());
        return r;
    }
    removeAll(victims, r);
    return r;
}

std::optional<fs::path> findProgram(const fs::path& folder, const std::string& name) {
    std::vector<std::string> candidates;
    const bool hasExe = name.size() > 4 && equalsIgnoreCase(name.substr(name.size() - 4), ".exe");
    if (!hasExe) candidates.push_back(name + ".exe");
    candidates.push_back(name);
    for (const std::string& c : candidates) {
        fs::path p = folder / c;
        std::error_code ec;
        if (fs::exists(p, ec) && !fs::is_directory(p, ec)) return p;
        auto matches = findIgnoringCase(folder, c);
        if (!matches.empty()) return matches.front();
    }
    return std::nullopt;
}

} // namespace batchrun
