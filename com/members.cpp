#include "com/members.h"

#include <cwchar>

#include "com/automation_values.h"
#include "com/host_dispatch.h"

namespace dav::com {
namespace {

// The members in DISPID order. A public operation of the component is offered by adding
// its line here.
constexpr Member kMembers[] = {
    {L"IClientComponent_Initialize", 2,
     [](Invocation& c) { c.component().IClientComponent_Initialize(c.Host(0), c.Boolean(1)); }},
    {L"IClientComponent_Handle", 2,
     [](Invocation& c) { c.component().IClientComponent_Handle(c.Text(0), c.Text(1)); }},
    {L"IClientComponent_Terminate", 0,
     [](Invocation& c) { c.component().IClientComponent_Terminate(); }},
    {L"Company", 0, [](Invocation& c) { c.Return(c.component().Company()); }},
    {L"Name", 0, [](Invocation& c) { c.Return(c.component().Name()); }},
    {L"Version", 0, [](Invocation& c) { c.Return(c.component().Version()); }},
    {L"Installed", 0, [](Invocation& c) { c.Return(c.component().Installed()); }},
    {L"ApplyWinConfigXML", 3,
     [](Invocation& c) { c.component().ApplyWinConfigXML(c.Text(0), c.Text(1), c.Boolean(2)); }},
    {L"ApplySysConfigXML", 3,
     [](Invocation& c) { c.component().ApplySysConfigXML(c.Text(0), c.Text(1), c.Boolean(2)); }},
    {L"ApplyXML_ManagerLogin", 1,
     [](Invocation& c) { c.component().ApplyXML_ManagerLogin(c.Text(0)); }},
    {L"ApplyXML_ManagerLogoff", 1,
     [](Invocation& c) { c.component().ApplyXML_ManagerLogoff(c.Text(0)); }},
    {L"ApplyWindowSettingXML", 1,
     [](Invocation& c) { c.component().ApplyWindowSettingXML(c.Text(0)); }},
    {L"RebootSettings", 0, [](Invocation& c) { c.component().RebootSettings(); }},
    // Start program protection and the desktop icons' auto recover, read and assigned. The
    // start program and start-up folder lists stay inside the component.
    {L"EnableOpt", 0, [](Invocation& c) { c.Return(c.component().EnableOpt()); },
     [](Invocation& c) { c.component().EnableOpt(c.Boolean(0)); }},
    {L"EnableAutoRecover", 0, [](Invocation& c) { c.Return(c.component().EnableAutoRecover()); },
     [](Invocation& c) { c.component().EnableAutoRecover(c.Boolean(0)); }},
    {L"RecoverDesktopIcon", 0, [](Invocation& c) { c.component().RecoverDesktopIcon(); }},
};

void Check(HRESULT status, unsigned position) {
  if (FAILED(status)) throw ArgumentMismatch{position, status};
}

}  // namespace

const VARIANT& Invocation::Argument(unsigned position) const {
  // Automation passes the arguments last first.
  return parameters_.rgvarg[parameters_.cArgs - 1 - position];
}

std::string Invocation::Text(unsigned position) const {
  std::string text;
  Check(ArgumentText(Argument(position), &text), position);
  return text;
}

bool Invocation::Boolean(unsigned position) const {
  bool value = false;
  Check(ArgumentBoolean(Argument(position), &value), position);
  return value;
}

std::shared_ptr<core::HostApplication> Invocation::Host(unsigned position) const {
  ComPtr<IDispatch> object;
  Check(ArgumentObject(Argument(position), &object), position);
  if (!object) return nullptr;
  return std::make_shared<DispatchHost>(std::move(object));
}

void Invocation::Return(std::string_view text) {
  if (!result_) return;
  VariantClear(result_);
  result_->bstrVal = ToBstr(text);
  result_->vt = VT_BSTR;
}

void Invocation::Return(bool value) {
  if (!result_) return;
  VariantClear(result_);
  result_->vt = VT_BOOL;
  result_->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

std::span<const Member> Members() {
  return kMembers;
}

const Member* MemberById(DISPID id) {
  if (id < 1 || static_cast<std::size_t>(id) > std::size(kMembers)) return nullptr;
  return &kMembers[id - 1];
}

DISPID MemberId(const wchar_t* name) {
  if (!name) return DISPID_UNKNOWN;
  for (std::size_t i = 0; i < std::size(kMembers); ++i) {
    if (_wcsicmp(kMembers[i].name, name) == 0) return static_cast<DISPID>(i + 1);
  }
  return DISPID_UNKNOWN;
}

}  // namespace dav::com
