#include "xml/document.h"

#include <utility>

#include "platform/code_page.h"
#include "util/run_time_error.h"
#include "xml/encoding.h"
#include "xml/well_formed.h"

namespace dav::xml {
namespace {

// The parser keeps everything that round-trips (declaration, DOCTYPE text, comments,
// processing instructions, blank text between elements) and expands only the predefined
// entities and character references.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_doctype | pugi::parse_comments | pugi::parse_pi |
                                   pugi::parse_ws_pcdata;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::int32_t CodeOfStatus(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_no_document_element:
      return kXmlNoRootElement;
    case pugi::status_unrecognized_tag:
    case pugi::status_bad_pi:
    case pugi::status_bad_comment:
    case pugi::status_bad_cdata:
    case pugi::status_bad_doctype:
    case pugi::status_bad_pcdata:
      return kXmlBadMarkup;
    case pugi::status_bad_start_element:
      return kXmlBadStartTag;
    case pugi::status_bad_attribute:
      return kXmlBadAttribute;
    case pugi::status_bad_end_element:
      return kXmlBadEndTag;
    case pugi::status_end_element_mismatch:
      return kXmlTagMismatch;
    case pugi::status_append_invalid_root:
      return kXmlMultipleRoots;
    default:
      return kXmlBadMarkup;
  }
}

std::string ReasonOfStatus(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_no_document_element:
      return "The document has no root element.";
    case pugi::status_end_element_mismatch:
      return "The end tag does not match the start tag, or an element is not closed.";
    default: {
      pugi::xml_parse_result result;
      result.status = status;
      return std::string(result.description()) + ".";
    }
  }
}

class StringWriter : public pugi::xml_writer {
 public:
  void write(const void* data, std::size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
  std::string text;
};

// LF to CR LF, leaving existing CR LF pairs alone: the parser turns line ends into LF, and
// the documents are Windows text.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

pugi::xpath_node_set Select(const pugi::xpath_node& context, std::string_view path) {
  try {
    const pugi::xpath_query query(std::string(path).c_str());
    return query.evaluate_node_set(context);
  } catch (const pugi::xpath_exception& e) {
    throw util::RunTimeError(util::kErrInvalidCall, "selectNodes",
                             "The path \"" + std::string(path) + "\" is not valid: " + e.what());
  }
}

NodeList ToList(const pugi::xpath_node_set& set) {
  NodeList list;
  list.reserve(set.size());
  for (const pugi::xpath_node& n : set) list.emplace_back(n);
  return list;
}

Node First(const pugi::xpath_node_set& set) {
  return set.empty() ? Node() : Node(set.first());
}

void AppendText(const pugi::xml_node& node, std::string* out) {
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      *out += child.value();
    } else if (child.type() == pugi::node_element) {
      AppendText(child, out);
    }
  }
}

}  // namespace

std::ptrdiff_t Node::sourceOffset() const {
  if (!node_) return -1;
  const pugi::xml_node element = node_.node() ? node_.node() : node_.parent();
  return element.offset_debug();
}

std::string Node::nodeName() const {
  if (node_.attribute()) return node_.attribute().name();
  return node_.node().name();
}

std::string Node::text() const {
  if (!node_) throw util::RunTimeError(util::kErrObjectNotSet);
  if (node_.attribute()) return node_.attribute().value();
  std::string text;
  AppendText(node_.node(), &text);
  return text;
}

std::optional<std::string> Node::attribute(std::string_view name) const {
  if (!node_ || node_.attribute()) return std::nullopt;
  const pugi::xml_attribute a = node_.node().attribute(std::string(name).c_str());
  if (!a) return std::nullopt;
  return std::string(a.value());
}

NodeList Node::selectNodes(std::string_view path) const {
  if (!node_) throw util::RunTimeError(util::kErrObjectNotSet);
  return ToList(Select(node_, path));
}

Node Node::selectSingleNode(std::string_view path) const {
  if (!node_) throw util::RunTimeError(util::kErrObjectNotSet);
  return First(Select(node_, path));
}

Document::Document() : doc_(std::make_unique<pugi::xml_document>()) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

bool Document::loadXML(std::string_view text) {
  if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
  return Parse(text, {});
}

bool Document::load(platform::FileSystem& files, std::string_view path) {
  doc_->reset();
  std::string bytes;
  const platform::Status status = files.ReadAll(path, &bytes);
  if (status != platform::kErrorSuccess) {
    error_ = ParseError{};
    error_.errorCode = kXmlFileUnreadable;
    error_.reason = "The file could not be read (Windows error " + std::to_string(status) + ").";
    error_.url = std::string(path);
    return false;
  }
  std::string utf8;
  if (std::optional<ParseError> fault = DecodeDocumentBytes(bytes, &utf8)) {
    error_ = std::move(*fault);
    error_.url = std::string(path);
    return false;
  }
  return Parse(utf8, std::string(path));
}

bool Document::Parse(std::string_view utf8, std::string url) {
  doc_->reset();
  error_ = ParseError{};
  const pugi::xml_parse_result result =
      doc_->load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
  if (!result) {
    if (result.status == pugi::status_out_of_memory) throw std::bad_alloc();
    error_ = ErrorAt(utf8, static_cast<std::size_t>(result.offset), CodeOfStatus(result.status),
                     ReasonOfStatus(result.status), std::move(url));
  } else if (std::optional<WellFormednessFault> fault = FindWellFormednessFault(utf8)) {
    error_ = ErrorAt(utf8, fault->offset, fault->code, std::move(fault->reason), std::move(url));
  } else {
    return true;
  }
  doc_->reset();
  return false;
}

NodeList Document::selectNodes(std::string_view path) const {
  return ToList(Select(pugi::xpath_node(*doc_), path));
}

Node Document::selectSingleNode(std::string_view path) const {
  return First(Select(pugi::xpath_node(*doc_), path));
}

Node Document::documentElement() const {
  const pugi::xml_node root = doc_->document_element();
  return root ? Node(pugi::xpath_node(root)) : Node();
}

std::string Document::xml() const {
  StringWriter writer;
  doc_->save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return WithCrLf(writer.text);
}

std::string Document::declaredEncoding() const {
  for (const pugi::xml_node& child : doc_->children()) {
    if (child.type() == pugi::node_declaration) return child.attribute("encoding").value();
  }
  return {};
}

void Document::save(platform::FileSystem& files, std::string_view path) const {
  const std::string encoding = declaredEncoding();
  const std::optional<std::uint32_t> codePage =
      encoding.empty() ? std::optional<std::uint32_t>(platform::kCodePageUtf8)
                       : CodePageOfEncoding(encoding);
  std::string bytes;
  if (!codePage || !EncodeDocumentText(*codePage, xml(), &bytes)) {
    throw util::RunTimeError(util::kErrInvalidCall, "save",
                             "The encoding \"" + encoding + "\" is not supported.");
  }
  const platform::Status status = files.WriteAll(path, bytes);
  if (status != platform::kErrorSuccess) {
    throw util::RunTimeError(util::kErrPathFileAccess, "save",
                             "The file \"" + std::string(path) +
                                 "\" could not be written (Windows error " +
                                 std::to_string(status) + ").");
  }
}

}  // namespace dav::xml
