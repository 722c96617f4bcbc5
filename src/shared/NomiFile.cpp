#include "shared/NomiFile.h"

#include "shared/Cp1252.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vdx {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Parti(std::string_view name) {
    std::vector<std::string> out;
    std::string current;
    for (char c : name) {
        if (c == '\\' || c == '/') {
            if (!current.empty()) {
                out.push_back(current);
            }
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        out.push_back(current);
    }
    return out;
}

std::string CercaNellaCartella(const fs::path& folder, const std::string& part) {
    std::error_code ec;
    if (part == "." || part == ".." || fs::exists(folder / part, ec)) {
        return part;
    }
    std::vector<std::string> matches;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (UgualiSenzaMaiuscole(entry, part)) {
            matches.push_back(entry);
        }
    }
    if (matches.empty()) {
        return part;
    }
    return *std::min_element(matches.begin(), matches.end());
}

bool Corrisponde(std::string_view s, std::string_view p) {
    // Iterative wildcard match with backtracking on the last "*".
    std::size_t si = 0, pi = 0, star = std::string_view::npos, mark = 0;
    while (si < s.size()) {
        if (pi < p.size() &&
            (p[pi] == '?' || MaiuscolaCp1252(static_cast<unsigned char>(p[pi])) ==
                                 MaiuscolaCp1252(static_cast<unsigned char>(s[si])))) {
            ++si;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            mark = si;
        } else if (star != std::string_view::npos) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

} // namespace

fs::path RisolviNome(const fs::path& folder, std::string_view name) {
    fs::path result = folder;
    for (const auto& part : Parti(name)) {
        result /= CercaNellaCartella(result, part);
    }
    return result;
}

std::optional<fs::path> TrovaFile(const fs::path& folder, std::string_view name) {
    fs::path p = RisolviNome(folder, name);
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) {
        return p;
    }
    return std::nullopt;
}

bool CorrispondeModello(std::string_view name, std::string_view pattern) {
    return Corrisponde(name, pattern);
}

} // namespace vdx
