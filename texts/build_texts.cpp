// build_texts: turns a text catalogue of this folder into what the program reads.
//
//   build_texts sdb CATALOGUE OUT.sdb   the language file (SQLite) installed beside the program
//   build_texts cpp CATALOGUE OUT.cpp   the built-in texts compiled into the program
//   build_texts used MESSAGES.h OUT.cpp FOLDER...
//                                       the text numbers the code uses: each msg::kName of
//                                       MESSAGES.h that a source of FOLDER (tests aside) names
//
// A catalogue is plain UTF-8 text, one "KEY = TEXT" per line (see the header of Enu.txt). Any
// malformed line stops the build with "FILE:LINE: reason", so a broken catalogue never reaches
// a user. Outputs are written to a temporary name and renamed, and left untouched when their
// contents would not change (the build then has nothing to recompile).
//
// This is a build tool, standalone on purpose: the program's own libraries are built from its
// output, so it cannot link them.
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

enum class Kind { Text, Menu, Dialog, Info };

struct Entry {
  Kind kind = Kind::Text;
  int group = 0;  // menu or dialog id
  int id = 0;
  std::string name;  // info name
  std::string text;  // as written, "\n" still two characters
};

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra > s.size() - 1) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    }
    i += extra + 1;
  }
  return true;
}

bool ParseInt(const std::string& word, int& value) {
  if (word.empty()) return false;
  size_t used = 0;
  try {
    value = std::stoi(word, &used);
  } catch (...) {
    return false;
  }
  return used == word.size();
}

// Reads "N", "menu M N", "dialog D C" or "info NAME" into entry; false when the key is none.
bool ParseKey(const std::string& key, Entry& entry) {
  std::istringstream words(key);
  std::vector<std::string> parts;
  for (std::string w; words >> w;) parts.push_back(w);
  if (parts.size() == 1) return ParseInt(parts[0], entry.id) && entry.id >= 0;
  if (parts.size() == 2 && parts[0] == "info") {
    entry.kind = Kind::Info;
    entry.name = parts[1];
    return true;
  }
  if (parts.size() != 3) return false;
  if (parts[0] == "menu") entry.kind = Kind::Menu;
  else if (parts[0] == "dialog") entry.kind = Kind::Dialog;
  else return false;
  return ParseInt(parts[1], entry.group) && ParseInt(parts[2], entry.id);
}

bool ReadCatalogue(const std::string& path, std::vector<Entry>& entries) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << path << ": cannot be read\n";
    return false;
  }
  std::map<std::tuple<int, int, int, std::string>, int> seen;
  std::string line;
  bool ok = true;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto fail = [&](const std::string& why) {
      std::cerr << path << ":" << number << ": " << why << "\n";
      ok = false;
    };
    if (line.empty() || line[0] == '#') continue;
    if (!ValidUtf8(line)) {
      fail("not valid UTF-8");
      continue;
    }
    const size_t equals = line.find(" = ");
    Entry entry;
    if (equals == std::string::npos || !ParseKey(line.substr(0, equals), entry)) {
      fail("expected \"NUMBER = text\", \"menu MENU ITEM = text\", \"dialog DIALOG CONTROL = text\" or \"info NAME = value\"");
      continue;
    }
    entry.text = line.substr(equals + 3);
    const auto key = std::make_tuple(static_cast<int>(entry.kind), entry.group, entry.id, entry.name);
    if (const auto [where, fresh] = seen.emplace(key, number); !fresh) {
      fail("the same key as line " + std::to_string(where->second));
      continue;
    }
    entries.push_back(std::move(entry));
  }
  return ok;
}

// The text as the program shows it: "\n" becomes a line break, as when a language file is read.
std::string Unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string CLiteral(const std::string& text) {
  std::string out = "\"";
  for (const char c : Unescaped(text)) {
    if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else if (c == '?') out += "\\?";  // no trigraph surprises
    else out += c;
  }
  return out + "\"";
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// Writes contents to path through a temporary file, unless path already holds them.
bool WriteIfChanged(const std::string& path, const std::string& contents) {
  if (ReadWhole(path) == contents) return true;
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) {
      std::cerr << temp << ": cannot be written\n";
      return false;
    }
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

int WriteBuiltIn(const std::vector<Entry>& entries, const std::string& out) {
  std::map<int, std::string> texts;
  std::map<std::pair<int, int>, std::string> menus, dialogs;
  for (const Entry& e : entries) {
    if (e.kind == Kind::Text) texts[e.id] = e.text;
    if (e.kind == Kind::Menu) menus[{e.group, e.id}] = e.text;
    if (e.kind == Kind::Dialog) dialogs[{e.group, e.id}] = e.text;
  }
  std::ostringstream cpp;
  cpp << "// Generated by texts/build_texts from the English catalogue. Do not edit.\n"
         "#include \"base/builtin_texts.h\"\n\nnamespace vx {\n\nnamespace {\n\n"
         "constexpr BuiltInText kTexts[] = {\n";
  for (const auto& [id, text] : texts) cpp << "    {0, " << id << ", " << CLiteral(text) << "},\n";
  if (texts.empty()) cpp << "    {0, -1, \"\"},\n";
  for (const auto& [table, rows] : {std::pair{"kMenus", &menus}, std::pair{"kDialogs", &dialogs}}) {
    cpp << "};\n\nconstexpr BuiltInText " << table << "[] = {\n";
    for (const auto& [key, text] : *rows) {
      cpp << "    {" << key.first << ", " << key.second << ", " << CLiteral(text) << "},\n";
    }
    if (rows->empty()) cpp << "    {0, -1, \"\"},\n";  // an array cannot be empty; id -1 is never asked
  }
  cpp << "};\n\n}  // namespace\n\n"
         "std::span<const BuiltInText> BuiltInTexts() { return kTexts; }\n"
         "std::span<const BuiltInText> BuiltInMenuTexts() { return kMenus; }\n"
         "std::span<const BuiltInText> BuiltInDialogTexts() { return kDialogs; }\n\n"
         "}  // namespace vx\n";
  return WriteIfChanged(out, cpp.str()) ? 0 : 1;
}

bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
  std::cerr << "build_texts: " << (error != nullptr ? error : "SQLite error") << "\n";
  sqlite3_free(error);
  return false;
}

bool InsertAll(sqlite3* db, const std::vector<Entry>& entries) {
  for (const Entry& e : entries) {
    const char* sql = e.kind == Kind::Text     ? "insert into StringTable (Id, String) values (?2, ?3)"
                      : e.kind == Kind::Menu   ? "insert into Menu (IdMenu, Id, String) values (?1, ?2, ?3)"
                      : e.kind == Kind::Dialog ? "insert into Dialog (IdDialog, Id, String) values (?1, ?2, ?3)"
                                               : "insert into Infos (Name, Value) values (?4, ?3)";
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return false;
    sqlite3_bind_int(statement, 1, e.group);
    sqlite3_bind_int(statement, 2, e.id);
    sqlite3_bind_text(statement, 3, e.text.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(statement, 4, e.name.c_str(), -1, SQLITE_TRANSIENT);
    const bool done = sqlite3_step(statement) == SQLITE_DONE;
    sqlite3_finalize(statement);
    if (!done) return false;
  }
  return true;
}

int WriteLanguageFile(const std::vector<Entry>& entries, const std::string& out) {
  const std::string temp = out + ".tmp";
  std::remove(temp.c_str());
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
            Exec(db,
                 "begin;"
                 "create table StringTable (Id integer primary key, String text not null);"
                 "create table Menu (IdMenu integer, Id integer, String text not null, primary key (IdMenu, Id));"
                 "create table Dialog (IdDialog integer, Id integer, String text not null, primary key (IdDialog, Id));"
                 "create table Infos (Name text primary key, Value text);") &&
            InsertAll(db, entries) && Exec(db, "commit;");
  sqlite3_close(db);
  if (ok) ok = std::rename(temp.c_str(), out.c_str()) == 0;
  if (!ok) {
    std::cerr << out << ": cannot be written\n";
    std::remove(temp.c_str());
  }
  return ok ? 0 : 1;
}

// The numbers named in messages.h whose names the sources of folders use. A name used only by
// tests does not count: a text nobody sees is not in use.
int WriteUsedIds(const std::string& messagesHeader, const std::string& out, const std::vector<std::string>& folders) {
  std::map<std::string, int> numbers;
  const std::string header = ReadWhole(messagesHeader);
  const std::regex constant(R"(constexpr int (k\w+) = (\d+);)");
  for (std::sregex_iterator m(header.begin(), header.end(), constant), end; m != end; ++m) {
    numbers[(*m)[1]] = std::stoi((*m)[2]);
  }
  if (numbers.empty()) {
    std::cerr << messagesHeader << ": no message numbers found\n";
    return 1;
  }
  std::set<int> used;
  for (const std::string& folder : folders) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      const std::string path = entry.path().string();
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h") || path.ends_with("_test.cpp") ||
          std::filesystem::equivalent(entry.path(), messagesHeader)) {
        continue;
      }
      const std::string source = ReadWhole(path);
      for (size_t at = source.find("msg::"); at != std::string::npos; at = source.find("msg::", at + 5)) {
        size_t end = at + 5;
        while (end < source.size() && (std::isalnum(static_cast<unsigned char>(source[end])) || source[end] == '_')) ++end;
        if (const auto known = numbers.find(source.substr(at + 5, end - at - 5)); known != numbers.end()) {
          used.insert(known->second);
        }
      }
    }
  }
  std::ostringstream cpp;
  cpp << "// Generated by texts/build_texts from the sources. Do not edit.\n"
         "#include \"shell/text_usage.h\"\n\nnamespace vx {\n\nnamespace {\n\nconstexpr int kUsed[] = {\n";
  for (const int id : used) cpp << "    " << id << ",\n";
  cpp << "    -1,  // an array cannot be empty; not part of the list\n};\n\n}  // namespace\n\n"
         "std::span<const int> TextIdsUsedByCode() { return std::span<const int>(kUsed).first("
      << used.size() << "); }\n\n}  // namespace vx\n";
  return WriteIfChanged(out, cpp.str()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 4 && args[0] == "used") {
    return WriteUsedIds(args[1], args[2], std::vector<std::string>(args.begin() + 3, args.end()));
  }
  if (args.size() != 3 || (args[0] != "sdb" && args[0] != "cpp")) {
    std::cerr << "usage: build_texts sdb|cpp CATALOGUE OUTPUT, or build_texts used MESSAGES.h OUTPUT FOLDER...\n";
    return 2;
  }
  std::vector<Entry> entries;
  if (!ReadCatalogue(args[1], entries)) return 1;
  return args[0] == "sdb" ? WriteLanguageFile(entries, args[2]) : WriteBuiltIn(entries, args[2]);
}
