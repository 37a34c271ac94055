#include "engine_harness.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <variant>
#include <vector>

namespace acquenza::epanet_test {
namespace fs = std::filesystem;

namespace {

const fs::path HarnessDir = ACQUENZA_EPANET_HARNESS_DIR;

// Just enough JSON for what solve.mjs prints.
struct Json;
using JsonObject = std::map<std::string, Json>;
using JsonArray = std::vector<Json>;
struct Json {
    std::variant<std::nullptr_t, bool, double, std::string, JsonArray, JsonObject> value;
    const Json& operator[](const std::string& key) const {
        return std::get<JsonObject>(value).at(key);
    }
    double Number() const { return std::get<double>(value); }
    const std::string& Text() const { return std::get<std::string>(value); }
    const JsonArray& Array() const { return std::get<JsonArray>(value); }
};

class JsonParser {
  public:
    explicit JsonParser(const std::string& text) : s_(text) {}
    Json Parse() {
        Json v = Value();
        Blank();
        if (i_ != s_.size()) {
            throw std::runtime_error("trailing text in JSON");
        }
        return v;
    }

  private:
    void Blank() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) {
            ++i_;
        }
    }
    char Peek() {
        Blank();
        if (i_ >= s_.size()) {
            throw std::runtime_error("JSON ends early");
        }
        return s_[i_];
    }
    void Expect(char c) {
        if (Peek() != c) {
            throw std::runtime_error(std::string("JSON: expected ") + c);
        }
        ++i_;
    }
    Json Value() {
        const char c = Peek();
        if (c == '{') {
            ++i_;
            JsonObject o;
            if (Peek() == '}') {
                ++i_;
                return {o};
            }
            while (true) {
                std::string key = String();
                Expect(':');
                o.emplace(std::move(key), Value());
                if (Peek() == ',') {
                    ++i_;
                    continue;
                }
                Expect('}');
                return {o};
            }
        }
        if (c == '[') {
            ++i_;
            JsonArray a;
            if (Peek() == ']') {
                ++i_;
                return {a};
            }
            while (true) {
                a.push_back(Value());
                if (Peek() == ',') {
                    ++i_;
                    continue;
                }
                Expect(']');
                return {a};
            }
        }
        if (c == '"') {
            return {String()};
        }
        for (const auto& [word, value] : {std::pair<const char*, Json>{"true", {true}},
                                          {"false", {false}},
                                          {"null", {nullptr}}}) {
            if (s_.compare(i_, std::char_traits<char>::length(word), word) == 0) {
                i_ += std::char_traits<char>::length(word);
                return value;
            }
        }
        const char* begin = s_.c_str() + i_;
        char* end = nullptr;
        const double number = std::strtod(begin, &end);
        if (end == begin) {
            throw std::runtime_error("JSON: unexpected character");
        }
        i_ += static_cast<std::size_t>(end - begin);
        return {number};
    }
    std::string String() {
        Expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c == '\\' && i_ < s_.size()) {
                c = s_[i_++];
                if (c == 'u' && i_ + 4 <= s_.size()) {
                    const unsigned code = std::stoul(s_.substr(i_, 4), nullptr, 16);
                    i_ += 4;
                    // Identifiers we write are ASCII; anything else is kept readable.
                    out += code < 0x80 ? static_cast<char>(code) : '?';
                    continue;
                }
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
            }
            out += c;
        }
        Expect('"');
        return out;
    }
    const std::string& s_;
    std::size_t i_ = 0;
};

std::string Quote(const std::string& text) {
    std::string out = "'";
    for (const char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool CommandExists(const char* name) {
    const std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

}  // namespace

std::string EngineUnavailableReason() {
    if (!CommandExists("node")) {
        return "the node command is not installed";
    }
    if (!fs::exists(HarnessDir / "node_modules" / "epanet-js" / "package.json")) {
        return "epanet-js is not installed in " + HarnessDir.string();
    }
    return {};
}

EngineRun SolveWithEngine(const std::string& inpText, const std::string& name) {
    EngineRun run;
    std::string pattern = (fs::temp_directory_path() / "acquenza-epanet-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        run.error = "cannot make a temporary folder";
        return run;
    }
    const fs::path dir = pattern;
    const fs::path inp = dir / (name + ".inp");
    {
        std::ofstream out(inp, std::ios::binary);
        out << inpText;
    }
    const fs::path json = dir / "result.json";
    const fs::path errors = dir / "stderr.txt";
    const std::string command = "node " + Quote((HarnessDir / "solve.mjs").string()) + " " +
                                Quote(inp.string()) + " >" + Quote(json.string()) + " 2>" +
                                Quote(errors.string());
    const int status = std::system(command.c_str());
    if (status != 0) {
        run.error = "node failed (status " + std::to_string(status) + "): " + ReadAll(errors) +
                    " [files kept in " + dir.string() + "]";
        return run;
    }
    try {
        const Json root = JsonParser(ReadAll(json)).Parse();
        run.solution.engineVersion = static_cast<int>(root["engine"].Number());
        for (const Json& n : root["nodes"].Array()) {
            run.solution.nodes[n["id"].Text()] = {static_cast<int>(n["type"].Number()),
                                                  n["elevation"].Number(), n["demand"].Number(),
                                                  n["head"].Number(), n["pressure"].Number()};
        }
        for (const Json& l : root["links"].Array()) {
            run.solution.links[l["id"].Text()] = {l["node1"].Text(), l["node2"].Text(),
                                                  l["flow"].Number(), l["velocity"].Number(),
                                                  l["headloss"].Number()};
        }
    } catch (const std::exception& e) {
        run.error = std::string("cannot read the engine's results: ") + e.what() +
                    " [files kept in " + dir.string() + "]";
        return run;
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    run.ok = true;
    return run;
}

}  // namespace acquenza::epanet_test
