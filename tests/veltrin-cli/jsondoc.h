#pragma once

// The JSON fields docs/cli-json.md documents, so the tests can hold every object the program
// writes against its table: exactly the documented fields, no more and no fewer.

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

namespace veltrin::test {

// For each table: the section it stands in ("## heading", and " / ### heading" when under one)
// and the first name in backquotes of each of its rows.
inline std::map<std::string, std::set<std::string>> DocumentedJsonFields() {
    std::ifstream doc(std::string(VELTRIN_SOURCE_DIR) + "/docs/cli-json.md");
    std::map<std::string, std::set<std::string>> sections;
    std::string line, chapter, section;
    while (std::getline(doc, line)) {
        if (line.rfind("## ", 0) == 0) {
            chapter = section = line.substr(3);
        } else if (line.rfind("### ", 0) == 0) {
            section = chapter + " / " + line.substr(4);
        } else if (line.rfind("| `", 0) == 0) {
            sections[section].insert(line.substr(3, line.find('`', 3) - 3));
        } else if (line.rfind("|---", 0) == 0) {
            sections[section];  // a table without rows: an object without own fields
        }
    }
    return sections;
}

template <typename JsonObject>
std::set<std::string> FieldsOf(const JsonObject& object) {
    std::set<std::string> fields;
    for (const auto& item : object.items())
        fields.insert(item.key());
    return fields;
}

}  // namespace veltrin::test
