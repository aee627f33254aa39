// Every quoted include of the product code against the layering its CMake targets declare: a layer
// includes only layers it links (directly or through them), a concern only itself and the concerns
// before it in its layer's PARZELLO_CONCERNS, no product file includes tests, benchmarks or tools,
// and a layer that links no Qt includes no Qt header.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TLayer
{
    std::vector<std::string> Concerns;  // folders below the layer, lowest first; "." is the layer's own
    std::set<std::string> Links;        // every library the target links
};

using TLayerTable = std::map<std::string, TLayer>;

std::vector<std::string> Words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

TLayerTable ReadLayerTable(const fs::path& file)
{
    TLayerTable table;
    std::ifstream in(file);
    std::string current;
    for (std::string line; std::getline(in, line);) {
        const auto words = Words(line);
        if (words.empty())
            continue;
        const std::vector<std::string> rest(words.begin() + 1, words.end());
        if (words[0] == "layer")
            current = rest.at(0);
        else if (words[0] == "concerns")
            table[current].Concerns = rest;
        else if (words[0] == "links")
            table[current].Links = {rest.begin(), rest.end()};
    }
    return table;
}

// The layers a layer may include: itself and every layer its links reach.
std::set<std::string> Reachable(const TLayerTable& table, const std::string& layer)
{
    std::set<std::string> seen{layer};
    std::vector<std::string> open{layer};
    while (!open.empty()) {
        const std::string next = open.back();
        open.pop_back();
        for (const auto& [name, other] : table)
            if (table.at(next).Links.contains("parzello_" + name) && seen.insert(name).second)
                open.push_back(name);
    }
    return seen;
}

bool LinksQt(const TLayerTable& table, const std::string& layer)
{
    for (const auto& name : Reachable(table, layer))
        for (const auto& link : table.at(name).Links)
            if (link.starts_with("Qt6::"))
                return true;
    return false;
}

// The index of the concern a root-relative path lies in (its deepest declared folder), or -1.
int ConcernOf(const TLayer& layer, const fs::path& relative)
{
    const std::string folder = relative.parent_path().lexically_relative(*relative.begin()).generic_string();
    int found = -1;
    std::size_t foundLength = 0;
    for (std::size_t i = 0; i < layer.Concerns.size(); ++i) {
        const std::string& concern = layer.Concerns[i];
        const bool inside = concern == "." || folder == concern || folder.starts_with(concern + "/");
        const std::size_t length = concern == "." ? 0 : concern.size();
        if (inside && (found < 0 || length > foundLength)) {
            found = static_cast<int>(i);
            foundLength = length;
        }
    }
    return found;
}

// The target of an include directive on the line and its opening delimiter ('"' or '<'), or an empty name.
std::pair<std::string, char> IncludedName(const std::string& line)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#')
        return {};
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0)
        return {};
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || (line[at] != '"' && line[at] != '<'))
        return {};
    const std::size_t end = line.find(line[at] == '"' ? '"' : '>', at + 1);
    if (end == std::string::npos)
        return {};
    return {line.substr(at + 1, end - at - 1), line[at]};
}

bool IsQtHeader(const std::string& name)
{
    return name.size() > 1 && name[0] == 'Q' && std::isalpha(static_cast<unsigned char>(name[1])) &&
           (name.find('/') == std::string::npos || name.starts_with("Qt"));
}

// "file:line: what is wrong" for every include of the layers' files under root that breaks the rules.
std::vector<std::string> CheckIncludes(const fs::path& root, const TLayerTable& table)
{
    static const std::set<std::string> kNotProduct{"tests", "bench", "tools"};
    std::vector<std::string> faults;
    for (const auto& [layerName, layer] : table) {
        const bool qt = LinksQt(table, layerName);
        const auto reachable = Reachable(table, layerName);
        for (const auto& entry : fs::recursive_directory_iterator(root / layerName)) {
            const auto extension = entry.path().extension();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp"))
                continue;
            const fs::path relative = entry.path().lexically_relative(root);
            const int concern = ConcernOf(layer, relative);
            const std::string where = relative.generic_string();
            if (concern < 0) {
                faults.push_back(where + ": lies in no concern of " + layerName + " (PARZELLO_CONCERNS in " +
                                 layerName + "/CMakeLists.txt)");
                continue;
            }
            std::ifstream in(entry.path());
            int lineNumber = 0;
            for (std::string line; std::getline(in, line);) {
                ++lineNumber;
                const std::string at = where + ":" + std::to_string(lineNumber) + ": ";
                const auto [name, delimiter] = IncludedName(line);
                if (delimiter == '<' && !qt && IsQtHeader(name))
                    faults.push_back(at + layerName + " links no Qt but includes <" + name + ">");
                if (delimiter != '"')
                    continue;
                fs::path included = fs::path(name).lexically_normal();
                // A path next to the including file wins, as the preprocessor searches there first.
                if (fs::exists(entry.path().parent_path() / included))
                    included = (relative.parent_path() / included).lexically_normal();
                const std::string top = included.begin()->string();
                if (kNotProduct.contains(top)) {
                    faults.push_back(at + "product code includes " + included.generic_string());
                } else if (!table.contains(top)) {
                    continue;  // generated headers (ui_*.h) and the like
                } else if (!reachable.contains(top)) {
                    faults.push_back(at + layerName + " includes the higher or unrelated layer " + top + " (" +
                                     included.generic_string() + ")");
                } else if (top == layerName && ConcernOf(layer, included) > concern) {
                    faults.push_back(at + "concern " + layer.Concerns[concern] + " includes the later concern " +
                                     layer.Concerns[ConcernOf(layer, included)] + " (" + included.generic_string() +
                                     ")");
                }
            }
        }
    }
    std::sort(faults.begin(), faults.end());
    return faults;
}

std::string Listed(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

void WriteFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

TEST(Layering, TheTableIsTheBuildsOwn)
{
    const auto table = ReadLayerTable(LAYER_TABLE);
    ASSERT_EQ(table.size(), 6u);
    for (const auto& [name, layer] : table)
        EXPECT_FALSE(layer.Concerns.empty()) << name << " declares no PARZELLO_CONCERNS";
    EXPECT_EQ(Reachable(table, "engine"), (std::set<std::string>{"engine"}));
    EXPECT_EQ(Reachable(table, "shell"), (std::set<std::string>{"shell", "platform", "framework"}));
    EXPECT_EQ(Reachable(table, "controls"), (std::set<std::string>{"controls", "framework"}));
    EXPECT_FALSE(LinksQt(table, "engine"));
    EXPECT_TRUE(LinksQt(table, "framework"));
}

TEST(Layering, EveryProductIncludePointsDownwards)
{
    const auto faults = CheckIncludes(SOURCE_ROOT, ReadLayerTable(LAYER_TABLE));
    EXPECT_TRUE(faults.empty()) << Listed(faults);
}

// The check itself, on a small tree with one fault of each kind and their lawful neighbours.
TEST(Layering, NamesEveryKindOfFaultByFileAndLine)
{
    const fs::path root = fs::temp_directory_path() / ("pz-layering-" + std::to_string(::getpid()));
    fs::remove_all(root);
    TLayerTable table;
    table["low"] = {{"a", "b"}, {}};
    table["high"] = {{"."}, {"parzello_low", "Qt6::Core"}};
    WriteFile(root / "low/a/A.h", "#include \"low/a/A2.h\"\n#include \"low/b/B.h\"\n#include <QString>\n");
    WriteFile(root / "low/a/A2.h", "#include \"high/H.h\"\n");
    WriteFile(root / "low/b/B.h", "#include \"low/a/A.h\"\n  #  include \"tests/support/X.h\"\n");
    WriteFile(root / "low/b/C.h", "#include \"../a/A.h\"\n#include \"../../high/H.h\"\n");
    WriteFile(root / "low/c/Lost.h", "\n");
    WriteFile(root / "high/H.h", "#include \"low/b/B.h\"\n#include <QString>\n#include \"ui_Form.h\"\n");
    const auto faults = CheckIncludes(root, table);
    fs::remove_all(root);
    EXPECT_EQ(Listed(faults), "low/a/A.h:2: concern a includes the later concern b (low/b/B.h)\n"
                              "low/a/A.h:3: low links no Qt but includes <QString>\n"
                              "low/a/A2.h:1: low includes the higher or unrelated layer high (high/H.h)\n"
                              "low/b/B.h:2: product code includes tests/support/X.h\n"
                              "low/b/C.h:2: low includes the higher or unrelated layer high (high/H.h)\n"
                              "low/c/Lost.h: lies in no concern of low (PARZELLO_CONCERNS in low/CMakeLists.txt)\n");
}

}
