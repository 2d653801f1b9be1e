#pragma once
// The typed members of schema types: complex types (Element_t), simple
// values (SchemaBuiltIn_t over a converter), optional and repeated children.
// Each is read from a DOM element with the stream it came from, and writes
// itself below a parent element under a local name in the parent's
// namespace and with the parent's prefix.

#include <xercesc/dom/DOM.hpp>

#include <string>
#include <vector>

#include "GLO_Optional.h"
#include "XML_Converters.h"
#include "XML_IStream.h"
#include "XML_Utilities.h"

namespace xml {

class Element_t {
 public:
  Element_t() = default;
  Element_t(const Element_t&) = default;
  Element_t& operator=(const Element_t&) = default;
  virtual ~Element_t() = default;

  // A child element in the parent's namespace, filled by WriteContent.
  virtual void Write(xercesc::DOMElement* parent, const std::u16string& localName) const;
  virtual void WriteContent(xercesc::DOMElement* element) const = 0;
};

// The parts of SchemaBuiltIn_t that do not depend on the value type.
void XML_WriteTextElement(xercesc::DOMElement* parent, const std::u16string& localName, const std::u16string& text);
void XML_WriteTextAttribute(xercesc::DOMElement* element, const std::u16string& name, const std::u16string& text);
// The element's first child, which must be text or CDATA (asserted); absent
// when the element has no children. The element must not be null
// (asserted): a missing required child is a program fault.
glo::Optional_t<std::u16string> XML_SimpleText(const xercesc::DOMElement* element);

template <class Converter>
class SchemaBuiltIn_t {
 public:
  using Value_t = typename Converter::Value_t;

  SchemaBuiltIn_t() : value_(Converter::Empty()) {}
  SchemaBuiltIn_t(Value_t value) : value_(std::move(value)) {}
  SchemaBuiltIn_t(const xercesc::DOMElement* element, IStream_t&) : value_(Converter::Empty())
  {
    if (auto text = XML_SimpleText(element)) value_ = Converter::FromText(text.Get());
  }
  SchemaBuiltIn_t(const SchemaBuiltIn_t&) = default;
  SchemaBuiltIn_t& operator=(const SchemaBuiltIn_t&) = default;
  virtual ~SchemaBuiltIn_t() = default;

  const Value_t& Value() const noexcept { return value_; }
  std::u16string Text() const { return Converter::ToText(value_); }

  // An element whose only child is the value's text.
  virtual void Write(xercesc::DOMElement* parent, const std::u16string& localName) const
  {
    XML_WriteTextElement(parent, localName, Text());
  }
  // An attribute; "xsi:" names also get the xsi namespace declared on the
  // document's root.
  virtual void WriteAttribute(xercesc::DOMElement* element, const std::u16string& name) const
  {
    XML_WriteTextAttribute(element, name, Text());
  }

  friend bool operator==(const SchemaBuiltIn_t& a, const SchemaBuiltIn_t& b) { return a.value_ == b.value_; }

 private:
  Value_t value_;
};

// Present when the parent has a child of the name.
template <class T>
class Optional_t : public glo::Optional_t<T> {
 public:
  using glo::Optional_t<T>::Optional_t;
  Optional_t(const xercesc::DOMElement* parent, const std::u16string& localName, IStream_t& stream)
  {
    if (auto* child = XML_GetChildElement(parent, localName)) this->Set(T(child, stream));
  }

  void Write(xercesc::DOMElement* parent, const std::u16string& localName) const
  {
    if (this->HasValue()) this->Get().Write(parent, localName);
  }
};

// One T per child of the name, in document order.
template <class T>
class Vector_t : public std::vector<T> {
 public:
  using std::vector<T>::vector;
  Vector_t(const xercesc::DOMElement* parent, const std::u16string& localName, IStream_t& stream)
  {
    for (auto* child : XML_GetChildElements(parent, localName)) this->push_back(T(child, stream));
  }

  void Write(xercesc::DOMElement* parent, const std::u16string& localName) const
  {
    for (const auto& item : *this) item.Write(parent, localName);
  }
};

// A required child: asserts that the parent has it.
template <class T>
T XML_Child(const xercesc::DOMElement* parent, const std::u16string& localName, IStream_t& stream)
{
  return T(XML_GetChildElement(parent, localName), stream);
}

}  // namespace xml
