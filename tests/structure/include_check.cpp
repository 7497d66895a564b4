// Checks the include graph of the program's sources: the layers the program is built in.
//   - no circle among the files of src/ (quoted includes, resolved from src/ or the file's own
//     folder);
//   - no subsystem folder, nor simlink/ or platform/, includes a file of app/;
//   - app/form_main.h is included only by app/, the front ends (cli/, gui/) and tests.
// Usage: include_check <src folder> [<other folder that must not include app/form_main.h>...]
// Prints every offence and exits 1 when there is one.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

/// Folders that may include app/: the composition root itself and the front ends.
const std::set<std::string> kMayIncludeApp{"app", "cli", "gui"};

bool isSource(const fs::path& p) {
  const auto ext = p.extension().string();
  return ext == ".h" || ext == ".cpp";
}

std::string topFolder(const std::string& rel) { return rel.substr(0, rel.find('/')); }

/// The quoted includes of a file, as paths relative to src/ where they resolve there.
std::vector<std::string> includesOf(const fs::path& file, const fs::path& src) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*\"([^\"]+)\")");
  std::vector<std::string> out;
  std::ifstream in(file);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (!std::regex_search(line, m, kInclude)) continue;
    const std::string inc = m[1];
    if (fs::exists(src / inc)) {
      out.push_back(inc);
    } else if (fs::exists(file.parent_path() / inc)) {
      out.push_back(fs::relative(file.parent_path() / inc, src).lexically_normal().generic_string());
    }
  }
  return out;
}

/// Depth-first search for circles; prints each one found once.
class CircleFinder {
 public:
  explicit CircleFinder(const std::map<std::string, std::vector<std::string>>& g) : g_(g) {}
  int run() {
    for (const auto& [node, _] : g_) visit(node);
    return found_;
  }

 private:
  void visit(const std::string& n) {
    if (done_.count(n)) return;
    const auto onPath = std::find(path_.begin(), path_.end(), n);
    if (onPath != path_.end()) {
      std::cout << "include circle:";
      for (auto it = onPath; it != path_.end(); ++it) std::cout << ' ' << *it << " ->";
      std::cout << ' ' << n << '\n';
      ++found_;
      return;
    }
    path_.push_back(n);
    if (const auto it = g_.find(n); it != g_.end())
      for (const auto& next : it->second) visit(next);
    path_.pop_back();
    done_.insert(n);
  }
  const std::map<std::string, std::vector<std::string>>& g_;
  std::vector<std::string> path_;
  std::set<std::string> done_;
  int found_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: include_check <src folder> [<folder>...]\n";
    return 2;
  }
  const fs::path src = fs::absolute(argv[1]).lexically_normal();
  if (!fs::is_directory(src)) {
    std::cerr << "not a folder: " << src << '\n';
    return 2;
  }
  int offences = 0;
  std::map<std::string, std::vector<std::string>> graph;
  for (const auto& e : fs::recursive_directory_iterator(src)) {
    if (!e.is_regular_file() || !isSource(e.path())) continue;
    const std::string rel = fs::relative(e.path(), src).generic_string();
    auto& edges = graph[rel];
    for (const auto& inc : includesOf(e.path(), src)) {
      edges.push_back(inc);
      const std::string from = topFolder(rel);
      if (topFolder(inc) == "app" && !kMayIncludeApp.count(from)) {
        std::cout << rel << " includes " << inc << ": only app/ and the front ends may\n";
        ++offences;
      }
    }
  }
  offences += CircleFinder(graph).run();

  // Outside src/ (benchmarks), the window's class is not needed to build one subsystem.
  for (int i = 2; i < argc; ++i) {
    const fs::path dir = fs::absolute(argv[i]);
    if (!fs::is_directory(dir)) continue;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
      if (!e.is_regular_file() || !isSource(e.path())) continue;
      for (const auto& inc : includesOf(e.path(), src))
        if (inc == "app/form_main.h") {
          std::cout << e.path().generic_string() << " includes app/form_main.h\n";
          ++offences;
        }
    }
  }
  if (offences == 0) std::cout << graph.size() << " files, no offence\n";
  return offences == 0 ? 0 : 1;
}
