// The bundle's information dictionary, read from its XML property list
// (Contents/Info.plist). Shared by the plug-in and the host-side loader, so
// it depends on Qt Core and the standard library only.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace zarvik::qt {

// Keys of the top-level dictionary with their string values.
using InfoDictionary = std::map<std::string, std::string, std::less<>>;

// Reads the property list at `path`: a <plist> whose top element is a
// <dict> of <key>s, each followed by its value. String values are kept;
// values of other kinds (numbers, booleans, arrays, dictionaries) are
// skipped. nullopt when the file cannot be read or is not such a list, with
// `error` saying why and where.
std::optional<InfoDictionary> readInfoDictionary(const std::string& path, std::string& error);

}  // namespace zarvik::qt
