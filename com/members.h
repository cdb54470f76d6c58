// What the component object offers by name: the host interface and the public operations
// of the component. Each member is a name, its number of arguments and what it does with
// them; its DISPID is its place in the table plus one. Names compare without regard to
// letter case, as automation names do.
#pragma once

#include <oaidl.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "com/com_ptr.h"
#include "core/component.h"

namespace dav::com {

// An argument that has no form the member can take: its position, first argument 0.
struct ArgumentMismatch {
  unsigned position;
  HRESULT status;
};

// One call of a member: the component, the caller's arguments and the result.
class Invocation {
 public:
  Invocation(core::CCDavIrizevez& component, const DISPPARAMS& parameters, VARIANT* result)
      : component_(component), parameters_(parameters), result_(result) {}

  core::CCDavIrizevez& component() { return component_; }

  // The argument at position (first argument 0) as the component takes it; an
  // ArgumentMismatch when it cannot be converted.
  std::string Text(unsigned position) const;
  bool Boolean(unsigned position) const;
  // The host's application object; none for Nothing.
  std::shared_ptr<core::HostApplication> Host(unsigned position) const;

  void Return(std::string_view text);
  void Return(bool value);

 private:
  const VARIANT& Argument(unsigned position) const;

  core::CCDavIrizevez& component_;
  const DISPPARAMS& parameters_;
  VARIANT* result_;
};

struct Member {
  const wchar_t* name;
  unsigned arguments;
  void (*run)(Invocation& call);
  // A property that callers may also assign: called with the value as its one argument.
  // Null: the member cannot be assigned.
  void (*put)(Invocation& call) = nullptr;
};

std::span<const Member> Members();

// The member of that DISPID, or null.
const Member* MemberById(DISPID id);
// The DISPID of the member of that name, or DISPID_UNKNOWN.
DISPID MemberId(const wchar_t* name);

}  // namespace dav::com
