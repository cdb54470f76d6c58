// The component object as an automation client sees it: members by name in any letter
// case, properties, arguments as a script passes them, and calls that cannot be made
// refused before they reach the component.
#include "com/component_object.h"

#include <gtest/gtest.h>

#include <vector>

#include "com/members.h"
#include "com/tests/fake_script_object.h"

namespace dav::com {
namespace {

using testing::FakeScriptObject;

class ComponentObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ComponentObject::Create(IID_IDispatch, reinterpret_cast<void**>(object_.Receive())),
              S_OK);
  }

  DISPID Id(const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT status = object_->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return SUCCEEDED(status) ? id : DISPID_UNKNOWN;
  }

  // Calls name with the arguments, the first first.
  HRESULT Call(const wchar_t* name, std::vector<VARIANT> arguments, VARIANT* result = nullptr,
               WORD flags = DISPATCH_METHOD, UINT* argumentError = nullptr) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception{};
    UINT error = 0;
    return object_->Invoke(Id(name), IID_NULL, 0, flags, &parameters, result, &exception,
                           argumentError ? argumentError : &error);
  }

  // name = value, as a script assigns a property.
  HRESULT Assign(const wchar_t* name, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&value, &named, 1, 1};
    EXCEPINFO exception{};
    UINT error = 0;
    return object_->Invoke(Id(name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &parameters, nullptr,
                           &exception, &error);
  }

  static VARIANT Text(BSTR* text) {  // a script variable: a reference
    VARIANT value;
    value.vt = VT_BSTR | VT_BYREF;
    value.pbstrVal = text;
    return value;
  }

  ComPtr<IDispatch> object_;
};

TEST_F(ComponentObjectTest, NamesAnyLetterCaseAndNoOthers) {
  EXPECT_NE(Id(L"iclientcomponent_handle"), DISPID_UNKNOWN);
  EXPECT_EQ(Id(L"IClientComponent_Handle"), Id(L"ICLIENTCOMPONENT_HANDLE"));
  EXPECT_NE(Id(L"Name"), Id(L"Version"));
  EXPECT_EQ(Id(L"ApplyWinConfig"), DISPID_UNKNOWN);
  for (const Member& member : Members()) {
    EXPECT_NE(Id(member.name), DISPID_UNKNOWN) << "every member of the table is named";
  }
}

TEST_F(ComponentObjectTest, IdentityProperties) {
  Variant name, installed;
  ASSERT_EQ(Call(L"Name", {}, name.get(), DISPATCH_PROPERTYGET), S_OK);
  ASSERT_EQ((*name).vt, VT_BSTR);
  EXPECT_EQ(FromBstr((*name).bstrVal), "DavIrizevez");
  ASSERT_EQ(Call(L"Installed", {}, installed.get(), DISPATCH_PROPERTYGET), S_OK);
  ASSERT_EQ((*installed).vt, VT_BOOL);
  EXPECT_EQ((*installed).boolVal, VARIANT_TRUE);
}

TEST_F(ComponentObjectTest, CallsThatCannotBeMadeAreRefused) {
  VARIANT number;
  number.vt = VT_I4;
  number.lVal = 7;
  EXPECT_EQ(Call(L"IClientComponent_Handle", {number}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(L"Name", {}, nullptr, DISPATCH_PROPERTYPUT), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Assign(L"Name", number), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(Call(L"EnableOpt", {number}, nullptr, DISPATCH_PROPERTYPUT), DISP_E_NONAMEDARGS)
      << "an assignment names its value";
  EXPECT_EQ(Call(L"EnableOpt", {}), DISP_E_EXCEPTION) << "no store before initialisation";
  // App must be an object; automation counts the failing argument from the last.
  VARIANT no;
  no.vt = VT_BOOL;
  no.boolVal = VARIANT_FALSE;
  UINT argumentError = 99;
  EXPECT_EQ(
      Call(L"IClientComponent_Initialize", {number, no}, nullptr, DISPATCH_METHOD, &argumentError),
      DISP_E_TYPEMISMATCH);
  EXPECT_EQ(argumentError, 1u);
}

TEST_F(ComponentObjectTest, ALifetimeWithAScriptHost) {
  FakeScriptObject app(false);
  FakeScriptObject channel(false);
  testing::MakeHost(app, channel, "C:\\Program Files\\brisal client", "2.5.1");

  VARIANT host;
  host.vt = VT_DISPATCH;
  host.pdispVal = &app;
  VARIANT debug;
  debug.vt = VT_I2;  // a number where a Boolean is meant
  debug.iVal = 0;
  ASSERT_EQ(Call(L"IClientComponent_Initialize", {host, debug}), S_OK);

  BSTR cmd = SysAllocString(L"REQ_WINCONF");
  BSTR protocol = SysAllocString(L"");
  EXPECT_EQ(Call(L"IClientComponent_Handle", {Text(&cmd), Text(&protocol)}), S_OK);
  SysFreeString(cmd);
  SysFreeString(protocol);
  ASSERT_EQ(channel.calls.size(), 1u);
  EXPECT_EQ(channel.calls[0].arguments.at(0).text.rfind("DavIrizevez\tGIWC\t<", 0), 0u)
      << channel.calls[0].arguments.at(0).text;

  // The public properties: read, assigned, and read again; put back as they were.
  for (const wchar_t* name : {L"EnableOpt", L"EnableAutoRecover"}) {
    VARIANT was;
    ASSERT_EQ(Call(name, {}, &was, DISPATCH_PROPERTYGET), S_OK) << name;
    ASSERT_EQ(was.vt, VT_BOOL) << name;
    for (const VARIANT_BOOL value : {static_cast<VARIANT_BOOL>(~was.boolVal), was.boolVal}) {
      VARIANT assigned;
      assigned.vt = VT_BOOL;
      assigned.boolVal = value;
      EXPECT_EQ(Assign(name, assigned), S_OK) << name;
      VARIANT now;
      ASSERT_EQ(Call(name, {}, &now, DISPATCH_PROPERTYGET), S_OK) << name;
      EXPECT_EQ(now.boolVal, value) << name;
    }
  }
  EXPECT_EQ(Id(L"List"), DISPID_UNKNOWN) << "the start program lists stay inside";
  EXPECT_EQ(Id(L"ListFolder"), DISPID_UNKNOWN);

  EXPECT_EQ(Call(L"IClientComponent_Terminate", {}), S_OK);
  const ULONG held = app.references;
  EXPECT_EQ(held, 1u) << "Terminate releases the host's object";
}

}  // namespace
}  // namespace dav::com
