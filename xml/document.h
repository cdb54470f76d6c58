// The document object the component works with, over pugixml: loading from text or from a
// file of the machine, path selection, attribute text, the document's own XML text and
// saving. It plays the part of the platform's XML DOM, so its operations keep the DOM's
// names (loadXML, load, selectNodes, selectSingleNode, parseError, xml, save).
//
// Documents never reach outside themselves: a DOCTYPE is kept as text but nothing it names
// is loaded, and a reference to any entity but the five predefined ones is a parse error.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "platform/file_system.h"
#include "xml/parse_error.h"

namespace dav::xml {

class Node;
using NodeList = std::vector<Node>;

// An element or attribute of a loaded document, or the null node that a selection which
// found nothing returns. Valid while its Document lives.
class Node {
 public:
  Node() = default;
  explicit Node(pugi::xpath_node node) : node_(node) {}

  bool isNull() const { return !node_; }
  explicit operator bool() const { return static_cast<bool>(node_); }

  // The element's or attribute's name.
  std::string nodeName() const;

  // Where the element (an attribute: its element) starts in the parsed UTF-8 text, in
  // bytes; -1 for the null node.
  std::ptrdiff_t sourceOffset() const;

  // An attribute's value, or the text of an element with all its descendants. Reading the
  // text of the null node raises run-time error 91, as reading a property of Nothing does.
  std::string text() const;

  // The value of the element's attribute of that name; nullopt when it has none.
  std::optional<std::string> attribute(std::string_view name) const;

  // Path selection relative to this node. A malformed path raises run-time error 5.
  NodeList selectNodes(std::string_view path) const;
  Node selectSingleNode(std::string_view path) const;

 private:
  pugi::xpath_node node_;
};

class Document {
 public:
  Document();
  ~Document();
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;

  // Parses a text that is already Unicode (UTF-8): the declaration's encoding is not used to
  // read it, only kept for save. False on a parse error; the document is then empty.
  bool loadXML(std::string_view text);

  // Reads a file of the machine and decodes it by its byte order mark or declared encoding
  // before parsing. The parse error's URL is the path.
  bool load(platform::FileSystem& files, std::string_view path);

  // The error of the last load (errorCode 0 after a successful one).
  const ParseError& parseError() const { return error_; }

  NodeList selectNodes(std::string_view path) const;
  Node selectSingleNode(std::string_view path) const;
  Node documentElement() const;

  // The document as XML text (UTF-8, line ends CR LF); empty when nothing is loaded.
  std::string xml() const;

  // The encoding that the declaration names; empty when there is no declaration.
  std::string declaredEncoding() const;

  // Writes the document to a file of the machine in the encoding its declaration names
  // (UTF-8 without one), whole and atomically. A character the encoding cannot hold is
  // written as a numeric character reference. An unsupported encoding raises run-time error
  // 5, a failed write error 75; the file is then left as it was.
  void save(platform::FileSystem& files, std::string_view path) const;

 private:
  bool Parse(std::string_view utf8, std::string url);

  std::unique_ptr<pugi::xml_document> doc_;
  ParseError error_;
};

}  // namespace dav::xml
