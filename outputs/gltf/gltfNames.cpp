#include "outputs/gltf/gltfNames.h"

#include "host/registry.h"

#include <map>
#include <set>

namespace caelo::gltf {

using host::Node;

namespace {

// ASCII for a Latin-1 letter U+00C0 to U+00FF ('_' where there is none).
constexpr char kLatin1Ascii[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTs"
                                "aaaaaaaceeeeiiiidnooooo_ouuuuyty";

std::string ownName(const Node& node) {
    if (!node.name.empty()) {
        return asciiName(node.name);
    }
    return node.type() ? asciiName(node.type()->displayName) : "Object";
}

// What an object belongs to, from its ancestors' names; empty at the top.
std::string ownerOf(const Node& object) {
    std::string nearestNamed;
    for (const Node* node = object.parent(); node != nullptr; node = node->parent()) {
        const std::string name = asciiName(node->name);
        const std::size_t open = name.rfind('(');
        const std::size_t close = name.rfind(')');
        if (open != std::string::npos && close != std::string::npos && close > open + 1) {
            return name.substr(open + 1, close - open - 1);
        }
        if (nearestNamed.empty()) {
            nearestNamed = name;
        }
    }
    return nearestNamed;
}

std::map<std::string, int> countsOf(const std::vector<std::string>& names) {
    std::map<std::string, int> counts;
    for (const std::string& name : names) {
        ++counts[name];
    }
    return counts;
}

} // namespace

std::string asciiName(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead >= 0x20 && lead < 0x7F ? static_cast<char>(lead) : '_');
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::uint32_t codePoint = length == 4 ? lead & 0x07u : length == 3 ? lead & 0x0Fu : lead & 0x1Fu;
        bool valid = length > 1 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0u) == 0x80u;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const bool latin1Letter = valid && codePoint >= 0xC0 && codePoint <= 0xFF;
        out.push_back(latin1Letter ? kLatin1Ascii[codePoint - 0xC0] : '_');
        i += valid ? length : 1;
    }
    return out;
}

std::vector<std::string> uniqueNodeNames(const std::vector<const Node*>& objects) {
    std::vector<std::string> names;
    names.reserve(objects.size());
    for (const Node* object : objects) {
        names.push_back(ownName(*object));
    }
    const std::map<std::string, int> shared = countsOf(names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (shared.at(names[i]) > 1) {
            if (const std::string owner = ownerOf(*objects[i]); !owner.empty()) {
                names[i] += " (" + owner + ")";
            }
        }
    }
    const std::map<std::string, int> stillShared = countsOf(names);
    std::set<std::string> taken(names.begin(), names.end());
    std::map<std::string, int> lastNumber;
    for (std::string& name : names) {
        if (stillShared.at(name) < 2) {
            continue;
        }
        int& number = lastNumber[name]; // the number the last of this name took
        if (number == 0) {
            number = 1; // the first keeps its name
            continue;
        }
        // A number another object's name already ends in is skipped; there
        // are fewer such names than objects.
        std::string numbered;
        do {
            numbered = name + " " + std::to_string(++number);
        } while (taken.count(numbered) != 0);
        taken.insert(numbered);
        name = numbered;
    }
    return names;
}

} // namespace caelo::gltf
