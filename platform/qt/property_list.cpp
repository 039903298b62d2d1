#include "platform/qt/property_list.h"

#include <QFile>
#include <QXmlStreamReader>

namespace zarvik::qt {
namespace {

std::string where(const QXmlStreamReader& xml) {
  return "line " + std::to_string(xml.lineNumber()) + ", column " + std::to_string(xml.columnNumber());
}

// Reads the entries of the <dict> the reader stands on, up to its end tag.
std::optional<InfoDictionary> readDict(QXmlStreamReader& xml, std::string& error) {
  InfoDictionary entries;
  std::optional<std::string> pendingKey;
  while (xml.readNextStartElement()) {
    const QStringView element = xml.name();
    if (element == u"key") {
      if (pendingKey) {
        error = "key \"" + *pendingKey + "\" has no value (" + where(xml) + ")";
        return std::nullopt;
      }
      pendingKey = xml.readElementText().toStdString();
      continue;
    }
    if (!pendingKey) {
      error = "<" + element.toString().toStdString() + "> without a key (" + where(xml) + ")";
      return std::nullopt;
    }
    if (element == u"string") {
      entries.insert_or_assign(*pendingKey, xml.readElementText().toStdString());
    } else {
      xml.skipCurrentElement();
    }
    pendingKey.reset();
  }
  if (xml.hasError()) return std::nullopt;
  if (pendingKey) {
    error = "key \"" + *pendingKey + "\" has no value (" + where(xml) + ")";
    return std::nullopt;
  }
  return entries;
}

}  // namespace

std::optional<InfoDictionary> readInfoDictionary(const std::string& path, std::string& error) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    error = "cannot read " + path + ": " + file.errorString().toStdString();
    return std::nullopt;
  }
  QXmlStreamReader xml(&file);
  std::optional<InfoDictionary> entries;
  if (!xml.readNextStartElement() || xml.name() != u"plist") {
    if (!xml.hasError()) {
      error = path + " is not a property list: its root element is not <plist>";
      return std::nullopt;
    }
  } else if (!xml.readNextStartElement() || xml.name() != u"dict") {
    if (!xml.hasError()) {
      error = path + " is not an information dictionary: its top element is not <dict>";
      return std::nullopt;
    }
  } else {
    std::string dictError;
    entries = readDict(xml, dictError);
    if (!entries && !xml.hasError()) {
      error = path + ": " + dictError;
      return std::nullopt;
    }
    // Whatever follows the dictionary must still be well-formed XML.
    while (!xml.atEnd() && !xml.hasError()) xml.readNext();
  }
  if (xml.hasError()) {
    error = path + " is not well-formed XML: " + xml.errorString().toStdString() + " (" + where(xml) + ")";
    return std::nullopt;
  }
  return entries;
}

}  // namespace zarvik::qt
